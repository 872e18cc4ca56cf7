// Shared helpers of the site's pages.

// The client's native function, when the page is shown inside TolvanClient.
function clientFunction(name) {
  return (typeof external !== "undefined" && external && typeof external[name] === "function") ? external[name] : null;
}

// Writes a line to the site's log.
function siteLog(text) {
  var request = new XMLHttpRequest();
  request.open("GET", "/api/log?text=" + encodeURIComponent(text), true);
  request.send();
}
