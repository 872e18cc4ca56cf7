#pragma once
// Fetchwell's process-wide state: its folders and what the manifest said.

#include "updater/UpdateFileInfo.h"

#include <string>
#include <vector>

// The program folder (Fetchwell's own folder), with a trailing '/'.
extern std::string g_strAppDir;
// g_strAppDir + "update/": downloads land here before they are installed.
extern std::string g_strUpdateDir;

// The manifest's version text, "major.minor.small".
extern std::string g_strServerVersion;
// The manifest's file entries, in manifest order.
extern std::vector<UpdateFileInfo> g_updateFiles;
// The text of the last failure, logged by whoever ends the run.
extern std::string g_strLastError;

// Sets g_strAppDir and g_strUpdateDir from the given program folder.
void SetProgramFolder(const std::string& strFolder);

// Sets them from the running executable's folder.
void InitFolders();

// configure.ini in the program folder.
std::string ConfigureIniPath();
