#pragma once
// Installs the downloaded files and the new version as one transaction: after
// it, either every file of the manifest is new and the version saved, or every
// file is back to its old content and the version unchanged. No ".old" backup
// stays behind either way.
//
// Steps, each recorded in the replace journal before it can leave a trace:
//   Begin:    check the downloads, drop stale backups, write the journal
//             ("replacing"), create missing folders;
//   Replace:  per file, rename the installed file to its ".old" backup, then
//             the download over the installed name;
//   Commit:   save the version, mark the journal "committed";
//   Finish:   delete the backups and the journal.
// A failure before Commit rolls back; a run killed at any point is resolved by
// ResumeInterruptedReplacement at the next start.

#include "updater/ReplaceJournal.h"
#include "updater/UpdateFileInfo.h"

#include <string>
#include <vector>

// One manifest entry's three paths.
struct FileReplacement {
    std::string strSource;  // g_strUpdateDir + name: the download
    std::string strTarget;  // g_strAppDir + name: the installed file
    std::string strBackup;  // strTarget + ".old", while the old file waits
};

FileReplacement MakeFileReplacement(const std::string& strName);

class CReplaceTransaction {
public:
    // `strNewVersion` is saved at commit; the installed version is kept for
    // a rollback.
    CReplaceTransaction(const std::vector<UpdateFileInfo>& files, const std::string& strNewVersion);
    // Rolls back a transaction that began and was not committed.
    ~CReplaceTransaction();
    CReplaceTransaction(const CReplaceTransaction&) = delete;
    CReplaceTransaction& operator=(const CReplaceTransaction&) = delete;

    // Each returns false with the log text of the failure in strReason. A
    // failure of Begin leaves the installation untouched.
    bool Begin(std::string& strReason);
    bool ReplaceFiles(std::string& strReason);
    bool Commit(std::string& strReason);
    void Finish();

    // Undoes what began; false (with the reason) when a file could not be
    // restored, in which case the journal stays for the next start.
    bool RollBack(std::string& strReason);

private:
    bool CheckPaths(std::string& strReason);
    bool PrepareDownloads(std::string& strReason);
    bool RemoveStaleBackups(std::string& strReason);

    ReplaceJournal m_journal;
    bool m_bBegun = false;
    bool m_bCommitted = false;
};

// Restores the installed files of a journal that was not committed.
bool RollBackJournal(const ReplaceJournal& journal, std::string& strReason);
// Completes a committed journal: the version saved, the backups deleted.
void FinishJournal(const ReplaceJournal& journal);

// Convenience for the update run: Begin, ReplaceFiles, Commit and Finish,
// rolling back on failure.
bool InstallUpdate(const std::vector<UpdateFileInfo>& files, const std::string& strNewVersion,
                   std::string& strReason);
