#pragma once
// Window messages as the client's framework sees them: the platform layer's
// message types plus the few parameter helpers the handlers need.

#include "platform/WindowMessages.h"

#include <cstdint>

namespace framework {

using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;
using platform::WPARAM;

class Wnd;

// A message on its way to a window, as PreTranslateMessage sees it.
struct MSG {
    Wnd* window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// WM_SIZE's wParam for a window that is neither minimised nor maximised.
inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;
// WM_NCLBUTTONDBLCLK's wParam for the title bar.
inline constexpr WPARAM HTCAPTION = 2;

inline LPARAM MAKELPARAM(int low, int high)
{
    return LPARAM(std::uint32_t(std::uint16_t(low)) | (std::uint32_t(std::uint16_t(high)) << 16));
}
inline int LOWORD(LPARAM value) { return int(std::uint16_t(value & 0xFFFF)); }
inline int HIWORD(LPARAM value) { return int(std::uint16_t((value >> 16) & 0xFFFF)); }

} // namespace framework
