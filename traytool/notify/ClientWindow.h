#pragma once
// The way from the tray tool into the site client: its main window, found by
// its exact title, and the client program beside the tray tool, started when
// no such window exists. Pages travel as UTF-8 bytes.

#include "platform/Windows.h"

#include <string>

namespace traytool {

// The client's main window; an empty handle when the client does not run (or
// runs under another title).
platform::WindowHandle findClientWindow();

// Starts "TolvanClient -<page>" from the tray tool's own folder, shown
// normally. Fire and forget: a missing program goes unreported.
void startClient(const std::string& page);

// Hands the page to the client's window with WM_COPYDATA (wParam 0, dwData
// 0, cbData = the page's byte count without a terminating zero) and waits
// until the client has taken it. An empty page is sent with cbData 0.
void sendPageToClient(platform::WindowHandle window, const std::string& page);

} // namespace traytool
