// TolvanClient runs this in every page of the site system that loaded with
// status 200. It tells the page it is shown inside the site client.
if (document.documentElement) {
  document.documentElement.classList.add("tolvan-client");
}
