#pragma once
// One run of Fetchwell, from the start entry in the log to the end.

// Recovers an interrupted update, fetches and reads the manifest, and when it
// offers another version and the user agrees, stops the site's programs,
// downloads and installs the files, and offers to restart the client. Every
// outcome is logged; an update that fails leaves the old installation and
// starts the client again.
void RunFetchwell();
