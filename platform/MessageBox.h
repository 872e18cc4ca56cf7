#pragma once
// Standard message boxes. Each box is registered as a top-level window titled
// with its caption while it is open, so another process can find it and press
// its buttons: WM_COMMAND with IDOK or IDCANCEL presses that button, WM_CLOSE
// closes the box as its close button does.

#include "platform/WindowMessages.h"

#include <string>

namespace platform {

inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONERROR = 0x10;

// Shows a modal box and returns the button pressed (IDOK or IDCANCEL; closing
// the box gives IDCANCEL, or IDOK for a box with only OK). Works before a Qt
// application object exists: one is made for the box and removed after it.
int messageBox(const std::string& text, const std::string& caption, UINT type = MB_OK);

} // namespace platform
