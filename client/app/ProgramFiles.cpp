#include "client/app/ProgramFiles.h"

#include "platform/Paths.h"
#include "platform/Profile.h"

std::string ProgramFilePath(const std::string& name) { return platform::joinPath(platform::programFolder(), name); }

std::string ReadConfigIni(const std::string& section, const std::string& key)
{
    return platform::readProfileString(ProgramFilePath("config.ini"), section, key);
}
