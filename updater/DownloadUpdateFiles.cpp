#include "updater/DownloadUpdateFiles.h"

#include "updater/DownloadFile.h"
#include "updater/FileMd5.h"
#include "updater/UpdateFileName.h"
#include "updater/UpdaterGlobals.h"
#include "updater/UpdaterTexts.h"

#include <filesystem>
#include <system_error>

bool DownloadUpdateFiles(const std::vector<UpdateFileInfo>& files, std::string& strReason)
{
    for (const UpdateFileInfo& file : files) {
        const std::string strPath = g_strUpdateDir + LocalFileName(file.strName);
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(strPath).parent_path(), error);

        std::string strError;
        if (!DownloadFile(file.strUrl, strPath, &strError)) {
            strReason = std::string(updater_text::kDownloadFailed) + file.strUrl + "（" + strError + "）";
            return false;
        }
        if (IsMd5Text(file.strMd5) && !FileMatchesMd5(strPath, file.strMd5)) {
            strReason = std::string(updater_text::kChecksumFailed) + file.strName;
            return false;
        }
    }
    return true;
}
