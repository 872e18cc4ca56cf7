#pragma once
// Addresses of the web site system both the client and the tray tool rely on.

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvan {

// Every logout address ends with this path; the built-in logout address is the
// site's root address followed by it.
inline constexpr std::string_view kLogoutPath = "/express/userInfo/loginout";

// The site system's root address. The installation points at the demo site
// system of tolvan-demo on this machine.
inline constexpr std::uint16_t kDemoSitePort = 40088;
inline constexpr std::string_view kSiteRoot = "http://127.0.0.1:40088";

// Pages of the site system: the login page (chrome.ini's loginUrl), the home
// page, and the pages the tray tool opens for task, bidding and won-order
// messages (configure.ini's taskTakeUrl, grabUrl, succGrabUrl).
inline constexpr std::string_view kLoginPath = "/login";
inline constexpr std::string_view kHomePath = "/";
inline constexpr std::string_view kTaskPath = "/express/task/list";
inline constexpr std::string_view kGrabPath = "/express/grab/list";
inline constexpr std::string_view kSuccGrabPath = "/express/grab/succ";

inline std::string siteAddress(std::string_view path) { return std::string(kSiteRoot) + std::string(path); }

} // namespace tolvan
