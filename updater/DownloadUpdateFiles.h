#pragma once
// Downloads the manifest's files into the update folder.

#include "updater/UpdateFileInfo.h"

#include <string>
#include <vector>

// Downloads every file, in manifest order, to g_strUpdateDir + its name
// (creating sub-folders), and checks each against its md5 when the manifest
// gives one. Stops at the first failure: false with the log text in
// strReason. A file from an earlier run under the same name is replaced only
// by a complete download.
bool DownloadUpdateFiles(const std::vector<UpdateFileInfo>& files, std::string& strReason);
