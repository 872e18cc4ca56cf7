#include "updater/InstalledVersion.h"

#include "updater/UpdaterGlobals.h"

#include "platform/Profile.h"

namespace {

constexpr const char* kSection = "LinkInfo";

} // namespace

std::string ReadUpdateXmlUrl()
{
    return platform::readProfileString(ConfigureIniPath(), kSection, "updatexmlurl");
}

std::string ReadInstalledVersion()
{
    return platform::readProfileString(ConfigureIniPath(), kSection, "version");
}

bool WriteInstalledVersion(const std::string& strVersion)
{
    return platform::writeProfileString(ConfigureIniPath(), kSection, "version", strVersion);
}

bool IsNewVersion()
{
    return ReadInstalledVersion() != g_strServerVersion;
}

bool SaveVersion()
{
    return WriteInstalledVersion(g_strServerVersion);
}
