#pragma once
// The page the client shows instead of a page that failed to load.

#include <string>

// "<html>...Load of URL <url>failed with error code <code>.</h2></body></html>"
// (ANSI; the URL and "failed" run together as the client has always shown
// them).
std::string LoadErrorPage(const std::string& ansiFailedUrl, int errorCode);
