#pragma once
// Window message types and numbers, with their Windows values, so that the
// messages that cross between the programs keep their numbers.

#include <cstdint>

namespace platform {

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_COPYDATA = 0x004A;
inline constexpr UINT WM_NCPAINT = 0x0085;
inline constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_USER = 0x0400;

// Button ids of message boxes; WM_COMMAND with one of them presses the button.
inline constexpr WPARAM IDOK = 1;
inline constexpr WPARAM IDCANCEL = 2;

// WM_COPYDATA's lParam points to this record. Across processes the layer
// copies lpData's cbData bytes; the receiver's pointer is valid only during
// the call.
struct COPYDATASTRUCT {
    std::uintptr_t dwData = 0;
    std::uint32_t cbData = 0;
    const void* lpData = nullptr;
};

// Show commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;

} // namespace platform
