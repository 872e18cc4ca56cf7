#pragma once
// File names of the three programs and the command lines with which each
// starts another. The programs are installed side by side in one folder and
// started by bare name, so the starter's own folder is searched first.

#include <string>
#include <string_view>

namespace tolvan {

inline constexpr std::string_view kClientProgram = "TolvanClient";
inline constexpr std::string_view kTrayToolProgram = "MerivoSiteSystem";
inline constexpr std::string_view kUpdaterProgram = "Fetchwell";

// The client starts the tray tool with its own executable path (at start-up)
// or with the page's "compId;username" text (after a web login), unquoted.
inline std::string trayToolCommandLine(std::string_view argument)
{
    return std::string(kTrayToolProgram) + " " + std::string(argument);
}

// The tray tool starts the client with a single switch whose value is the
// address to open: "TolvanClient -" directly followed by the address. A lone
// "-" makes the client open its configured start address.
inline std::string clientCommandLine(std::string_view address)
{
    return std::string(kClientProgram) + " -" + std::string(address);
}

// The updater takes no arguments.
inline std::string updaterCommandLine() { return std::string(kUpdaterProgram); }

// Single-instance names (one instance per log-on).
inline constexpr std::string_view kClientMutexName = "TolvanClient";
inline constexpr std::string_view kTrayToolGuardName = "MerivoSiteSystem";

} // namespace tolvan
