#pragma once
// Window message numbers. WM_COPYDATA and WM_CLOSE cross between programs
// (their values live with the window layer, platform/WindowMessages.h); the
// UM_ messages are the client's private messages between its own windows.

#include "platform/WindowMessages.h"

namespace tolvan {

// lParam = pointer to a std::string address, valid during the call.
inline constexpr platform::UINT UM_NAVIGATE = 2124;        // 0x84C
// A page-function call from the script bridge; waits for the result.
inline constexpr platform::UINT UM_SCRIPT_CALL = 1625;     // 0x659
// wParam = pointer to a posted std::string address the receiver frees.
inline constexpr platform::UINT UM_SHELL_OPEN = 11025;     // 0x2B11
// wParam = pointer to the page title as NUL-terminated ANSI text, valid
// during the call.
inline constexpr platform::UINT UM_TITLE_CHANGED = 11045;  // 0x2B25

// WM_CLOSE's wParam: 0 hides the client's window, non-zero ends the client.
inline constexpr platform::WPARAM kCloseHidesWindow = 0;
inline constexpr platform::WPARAM kCloseEndsClient = 1;

} // namespace tolvan
