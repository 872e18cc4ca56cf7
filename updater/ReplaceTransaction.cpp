#include "updater/ReplaceTransaction.h"

#include "updater/DurableFile.h"
#include "updater/InstalledVersion.h"
#include "updater/UpdateFileName.h"
#include "updater/UpdaterGlobals.h"
#include "updater/UpdaterTexts.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class PathKind { Missing, File, Folder, Unknown };

PathKind KindOf(const std::string& strPath)
{
    struct stat info {};
    if (::lstat(strPath.c_str(), &info) != 0)
        return errno == ENOENT ? PathKind::Missing : PathKind::Unknown;
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
}

// The permission bits a download gets when it is installed: those of the
// file it replaces, or for a new file executable when it is a program (an
// ELF file or a script), else read-write for the owner, readable for all.
mode_t InstalledMode(const std::string& strSource, const std::string& strTarget)
{
    struct stat info {};
    if (::stat(strTarget.c_str(), &info) == 0)
        return info.st_mode & 07777;
    char magic[4] = {};
    std::FILE* file = std::fopen(strSource.c_str(), "rb");
    const std::size_t read = file ? std::fread(magic, 1, sizeof magic, file) : 0;
    if (file)
        std::fclose(file);
    const bool bProgram = (read == 4 && std::memcmp(magic, "\x7f" "ELF", 4) == 0) ||
                          (read >= 2 && magic[0] == '#' && magic[1] == '!');
    return bProgram ? 0755 : 0644;
}

bool Exists(const std::string& strPath)
{
    return KindOf(strPath) != PathKind::Missing;
}

std::string ReplaceFailure(const std::string& strName, const std::string& strDetail)
{
    return std::string(updater_text::kReplaceFailed) + strName + "（" + strDetail + "）";
}

std::string ErrnoText()
{
    return std::strerror(errno);
}

// The folders above `strName` (below the program folder), parents first.
std::vector<std::string> ParentFolders(const std::string& strName)
{
    std::vector<std::string> folders;
    for (auto slash = strName.find('/'); slash != std::string::npos; slash = strName.find('/', slash + 1))
        folders.push_back(strName.substr(0, slash));
    return folders;
}

// Flushes the program-folder entries that the renames changed.
void SyncTargetFolders(const ReplaceJournal& journal)
{
    std::vector<std::string> folders{g_strAppDir};
    for (const ReplaceJournal::Entry& entry : journal.entries) {
        const auto slash = entry.strName.rfind('/');
        if (slash != std::string::npos)
            folders.push_back(g_strAppDir + entry.strName.substr(0, slash));
    }
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    for (const std::string& strFolder : folders)
        SyncFolder(strFolder);
}

} // namespace

FileReplacement MakeFileReplacement(const std::string& strName)
{
    const std::string strLocal = LocalFileName(strName);
    FileReplacement replacement;
    replacement.strSource = g_strUpdateDir + strLocal;
    replacement.strTarget = g_strAppDir + strLocal;
    replacement.strBackup = replacement.strTarget + ".old";
    return replacement;
}

CReplaceTransaction::CReplaceTransaction(const std::vector<UpdateFileInfo>& files,
                                         const std::string& strNewVersion)
{
    m_journal.strOldVersion = ReadInstalledVersion();
    m_journal.strNewVersion = strNewVersion;
    for (const UpdateFileInfo& file : files)
        m_journal.entries.push_back({LocalFileName(file.strName), false});
}

CReplaceTransaction::~CReplaceTransaction()
{
    std::string strIgnored;
    if (m_bBegun && !m_bCommitted)
        RollBack(strIgnored);
}

bool CReplaceTransaction::Begin(std::string& strReason)
{
    // Everything that can be checked is checked before anything is touched.
    if (!CheckPaths(strReason) || !PrepareDownloads(strReason) || !RemoveStaleBackups(strReason))
        return false;
    m_journal.state = ReplaceJournal::State::Replacing;
    if (!WriteReplaceJournal(m_journal)) {
        strReason = ReplaceFailure(ReplaceJournalPath(), ErrnoText());
        return false;
    }
    m_bBegun = true;
    for (const std::string& strFolder : m_journal.createdFolders) {
        if (::mkdir((g_strAppDir + strFolder).c_str(), 0755) != 0 && errno != EEXIST) {
            strReason = ReplaceFailure(strFolder, ErrnoText());
            return false;
        }
    }
    return true;
}

// Every download is there, every installed name is a file or free, and the
// folders above it exist or can be made; notes which files exist and which
// folders are missing.
bool CReplaceTransaction::CheckPaths(std::string& strReason)
{
    for (ReplaceJournal::Entry& entry : m_journal.entries) {
        const FileReplacement replacement = MakeFileReplacement(entry.strName);
        if (KindOf(replacement.strSource) != PathKind::File) {
            strReason = ReplaceFailure(entry.strName, "下载的文件不存在");
            return false;
        }
        const PathKind target = KindOf(replacement.strTarget);
        if (target == PathKind::Folder || target == PathKind::Unknown) {
            strReason = ReplaceFailure(entry.strName, target == PathKind::Folder ? "同名文件夹已存在" : ErrnoText());
            return false;
        }
        entry.bHadTarget = target == PathKind::File;
        for (const std::string& strFolder : ParentFolders(entry.strName)) {
            const PathKind folder = KindOf(g_strAppDir + strFolder);
            auto& created = m_journal.createdFolders;
            if (folder == PathKind::Missing) {
                if (std::find(created.begin(), created.end(), strFolder) == created.end())
                    created.push_back(strFolder);
            } else if (folder != PathKind::Folder) {
                strReason = ReplaceFailure(entry.strName, strFolder + " 不是文件夹");
                return false;
            }
        }
    }
    return true;
}

// The downloads get their permissions and are flushed to disk before the
// installation depends on them.
bool CReplaceTransaction::PrepareDownloads(std::string& strReason)
{
    for (const ReplaceJournal::Entry& entry : m_journal.entries) {
        const FileReplacement replacement = MakeFileReplacement(entry.strName);
        const mode_t mode = InstalledMode(replacement.strSource, replacement.strTarget);
        if (::chmod(replacement.strSource.c_str(), mode) != 0 || !SyncFile(replacement.strSource)) {
            strReason = ReplaceFailure(entry.strName, ErrnoText());
            return false;
        }
    }
    return true;
}

// A ".old" beside an installed file, left by an earlier program, is stale: the
// installed file is the one to keep. Removed before the journal is written,
// so every backup the journal sees is this run's.
bool CReplaceTransaction::RemoveStaleBackups(std::string& strReason)
{
    for (const ReplaceJournal::Entry& entry : m_journal.entries) {
        const std::string strBackup = MakeFileReplacement(entry.strName).strBackup;
        if (entry.bHadTarget && Exists(strBackup) && ::unlink(strBackup.c_str()) != 0) {
            strReason = ReplaceFailure(entry.strName + ".old", ErrnoText());
            return false;
        }
    }
    return true;
}

bool CReplaceTransaction::ReplaceFiles(std::string& strReason)
{
    for (const ReplaceJournal::Entry& entry : m_journal.entries) {
        const FileReplacement replacement = MakeFileReplacement(entry.strName);
        if (entry.bHadTarget && std::rename(replacement.strTarget.c_str(), replacement.strBackup.c_str()) != 0) {
            strReason = ReplaceFailure(entry.strName, ErrnoText());
            return false;
        }
        if (std::rename(replacement.strSource.c_str(), replacement.strTarget.c_str()) != 0) {
            strReason = ReplaceFailure(entry.strName, ErrnoText());
            return false;
        }
    }
    return true;
}

bool CReplaceTransaction::Commit(std::string& strReason)
{
    if (!WriteInstalledVersion(m_journal.strNewVersion)) {
        strReason = std::string(updater_text::kVersionNotSaved) + ErrnoText();
        return false;
    }
    SyncTargetFolders(m_journal);
    ReplaceJournal committed = m_journal;
    committed.state = ReplaceJournal::State::Committed;
    if (!WriteReplaceJournal(committed)) {
        strReason = ReplaceFailure(ReplaceJournalPath(), ErrnoText());
        return false;
    }
    m_journal = committed;
    m_bCommitted = true;
    return true;
}

void CReplaceTransaction::Finish()
{
    if (m_bCommitted)
        FinishJournal(m_journal);
}

bool CReplaceTransaction::RollBack(std::string& strReason)
{
    if (!m_bBegun || m_bCommitted)
        return true;
    m_bBegun = false;
    return RollBackJournal(m_journal, strReason);
}

bool RollBackJournal(const ReplaceJournal& journal, std::string& strReason)
{
    bool bRestored = true;
    for (auto entry = journal.entries.rbegin(); entry != journal.entries.rend(); ++entry) {
        const FileReplacement replacement = MakeFileReplacement(entry->strName);
        if (entry->bHadTarget) {
            // No backup: the installed file was never moved.
            if (Exists(replacement.strBackup) &&
                std::rename(replacement.strBackup.c_str(), replacement.strTarget.c_str()) != 0) {
                strReason = ReplaceFailure(entry->strName, ErrnoText());
                bRestored = false;
            }
        } else if (Exists(replacement.strTarget) && ::unlink(replacement.strTarget.c_str()) != 0) {
            strReason = ReplaceFailure(entry->strName, ErrnoText());
            bRestored = false;
        }
    }
    for (auto folder = journal.createdFolders.rbegin(); folder != journal.createdFolders.rend(); ++folder)
        ::rmdir((g_strAppDir + *folder).c_str());

    if (ReadInstalledVersion() != journal.strOldVersion && !WriteInstalledVersion(journal.strOldVersion)) {
        strReason = std::string(updater_text::kVersionNotSaved) + ErrnoText();
        bRestored = false;
    }
    if (!bRestored)
        return false;
    SyncTargetFolders(journal);
    return RemoveReplaceJournal();
}

void FinishJournal(const ReplaceJournal& journal)
{
    if (ReadInstalledVersion() != journal.strNewVersion)
        WriteInstalledVersion(journal.strNewVersion);
    // A backup that cannot be deleted is harmless: the next run removes it
    // before it begins.
    for (const ReplaceJournal::Entry& entry : journal.entries) {
        if (entry.bHadTarget)
            ::unlink(MakeFileReplacement(entry.strName).strBackup.c_str());
    }
    RemoveReplaceJournal();
}

bool InstallUpdate(const std::vector<UpdateFileInfo>& files, const std::string& strNewVersion,
                   std::string& strReason)
{
    CReplaceTransaction transaction(files, strNewVersion);
    if (transaction.Begin(strReason) && transaction.ReplaceFiles(strReason) && transaction.Commit(strReason)) {
        transaction.Finish();
        return true;
    }
    std::string strRestoreFailure;
    if (!transaction.RollBack(strRestoreFailure))
        strReason += "；" + std::string(updater_text::kRestoreFailed) + strRestoreFailure;
    return false;
}
