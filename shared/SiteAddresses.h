#pragma once
// Addresses of the web site system both the client and the tray tool rely on.

#include <string_view>

namespace tolvan {

// Every logout address ends with this path; the built-in logout address is the
// site's root address followed by it.
inline constexpr std::string_view kLogoutPath = "/express/userInfo/loginout";

} // namespace tolvan
