#include "updater/ReplaceJournal.h"

#include "updater/DurableFile.h"
#include "updater/UpdaterGlobals.h"

#include <cerrno>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

constexpr const char* kJournalName = "replace.journal";
constexpr const char* kJournalTempName = "replace.journal.tmp";
constexpr const char* kHeader = "fetchwell-replace 1";

std::string JournalText(const ReplaceJournal& journal)
{
    std::string text = std::string(kHeader) + "\n";
    text += std::string("state\t") +
            (journal.state == ReplaceJournal::State::Committed ? "committed" : "replacing") + "\n";
    text += "oldversion\t" + journal.strOldVersion + "\n";
    text += "newversion\t" + journal.strNewVersion + "\n";
    for (const std::string& strFolder : journal.createdFolders)
        text += "folder\t" + strFolder + "\n";
    for (const ReplaceJournal::Entry& entry : journal.entries)
        text += std::string("file\t") + (entry.bHadTarget ? "1" : "0") + "\t" + entry.strName + "\n";
    text += "end\n";
    return text;
}

} // namespace

std::string ReplaceJournalPath()
{
    return g_strUpdateDir + kJournalName;
}

bool IsReservedUpdateFileName(const std::string& strName)
{
    return strName == kJournalName || strName == kJournalTempName;
}

bool ReplaceJournalExists()
{
    return ::access(ReplaceJournalPath().c_str(), F_OK) == 0;
}

bool WriteReplaceJournal(const ReplaceJournal& journal)
{
    return WriteFileDurably(g_strUpdateDir + kJournalTempName, ReplaceJournalPath(), JournalText(journal));
}

std::optional<ReplaceJournal> ReadReplaceJournal()
{
    std::ifstream file(ReplaceJournalPath());
    std::string line;
    if (!std::getline(file, line) || line != kHeader)
        return std::nullopt;

    ReplaceJournal journal;
    bool bHasState = false;
    while (std::getline(file, line)) {
        if (line == "end")
            return bHasState ? std::optional(journal) : std::nullopt;
        const auto tab = line.find('\t');
        if (tab == std::string::npos)
            return std::nullopt;
        const std::string key = line.substr(0, tab);
        const std::string value = line.substr(tab + 1);
        if (key == "state") {
            if (value != "replacing" && value != "committed")
                return std::nullopt;
            journal.state = value == "committed" ? ReplaceJournal::State::Committed
                                                 : ReplaceJournal::State::Replacing;
            bHasState = true;
        } else if (key == "oldversion") {
            journal.strOldVersion = value;
        } else if (key == "newversion") {
            journal.strNewVersion = value;
        } else if (key == "folder") {
            journal.createdFolders.push_back(value);
        } else if (key == "file") {
            if (value.size() < 3 || (value[0] != '0' && value[0] != '1') || value[1] != '\t')
                return std::nullopt;
            journal.entries.push_back({value.substr(2), value[0] == '1'});
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;  // no "end": not a record this program wrote
}

bool RemoveReplaceJournal()
{
    if (::unlink(ReplaceJournalPath().c_str()) != 0 && errno != ENOENT)
        return false;
    SyncFolder(g_strUpdateDir);
    return true;
}
