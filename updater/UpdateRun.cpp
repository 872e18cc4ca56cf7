#include "updater/UpdateRun.h"

#include "updater/DownloadFile.h"
#include "updater/DownloadUpdateFiles.h"
#include "updater/InstalledVersion.h"
#include "updater/InterruptedUpdate.h"
#include "updater/ParseManifest.h"
#include "updater/ReplaceTransaction.h"
#include "updater/SitePrograms.h"
#include "updater/UpdateLog.h"
#include "updater/UpdaterGlobals.h"
#include "updater/UpdaterTexts.h"
#include "updater/UserPrompt.h"

#include <sys/stat.h>

namespace {

// The user agreed: stop, download, install, ask about the restart.
void RunUpdate(CUserPrompt& prompt)
{
    const bool bProgramsStopped = StopPrograms();

    std::string strReason;
    if (!DownloadUpdateFiles(g_updateFiles, strReason) ||
        !InstallUpdate(g_updateFiles, g_strServerVersion, strReason)) {
        WriteLog(strReason);
        // The site must not stay without its client.
        if (bProgramsStopped)
            StartClient();
        return;
    }

    if (prompt.AskOkCancel(updater_text::kRestartQuestion)) {
        StartClient();
        WriteLog(std::string(updater_text::kRestarted) + g_strServerVersion);
    } else {
        WriteLog(updater_text::kRestartDeclined);
    }
}

} // namespace

void RunFetchwell()
{
    WriteLog(updater_text::kStartChecking);
    if (!RecoverInterruptedUpdate())
        return;

    const std::string strManifestUrl = ReadUpdateXmlUrl();
    ::mkdir(g_strUpdateDir.c_str(), 0755);
    const std::string strManifestPath = g_strUpdateDir + "update.xml";
    if (!DownloadFile(strManifestUrl, strManifestPath)) {
        WriteLog(g_strLastError);
        return;
    }
    if (!ParseManifest(strManifestPath)) {
        WriteLog(g_strLastError);
        return;
    }

    CUserPrompt prompt;
    if (!prompt.AskOkCancel(updater_text::kUpdateQuestion)) {
        WriteLog(updater_text::kUserDeclined);
        return;
    }
    RunUpdate(prompt);
}
