#include "updater/UpdaterGlobals.h"

#include "platform/Paths.h"

std::string g_strAppDir;
std::string g_strUpdateDir;
std::string g_strServerVersion;
std::vector<UpdateFileInfo> g_updateFiles;
std::string g_strLastError;

void SetProgramFolder(const std::string& strFolder)
{
    g_strAppDir = strFolder;
    if (g_strAppDir.empty() || g_strAppDir.back() != '/')
        g_strAppDir += '/';
    g_strUpdateDir = g_strAppDir + "update/";
}

void InitFolders()
{
    SetProgramFolder(platform::programFolder());
}

std::string ConfigureIniPath()
{
    return g_strAppDir + "configure.ini";
}
