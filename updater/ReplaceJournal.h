#pragma once
// The record of a replacement in progress, "update/replace.journal".
//
// It is written before the first installed file is touched and removed after
// the last backup is gone, so a Fetchwell that was killed in between leaves it
// behind, and the next one can restore the old installation (or finish the
// new one) from it. It is replaced as a whole (written beside, then renamed
// over), so it is either the old record or the new one, never a torn mix.
//
// Text, one record per line, fields separated by a tab, the last field the
// rest of the line:
//   fetchwell-replace 1
//   state	replacing|committed
//   oldversion	<text>
//   newversion	<text>
//   folder	<name>            (a folder the run creates, parents first)
//   file	0|1	<name>        (1: the file existed and gets a ".old" backup)

#include <optional>
#include <string>
#include <vector>

struct ReplaceJournal {
    enum class State { Replacing, Committed };
    struct Entry {
        std::string strName;  // below the program folder, '/' separated
        bool bHadTarget = false;
    };

    State state = State::Replacing;
    std::string strOldVersion;
    std::string strNewVersion;
    std::vector<std::string> createdFolders;
    std::vector<Entry> entries;
};

// g_strUpdateDir + "replace.journal".
std::string ReplaceJournalPath();

// True for the names the journal uses in the update folder, which no
// manifest file may take.
bool IsReservedUpdateFileName(const std::string& strName);

bool ReplaceJournalExists();
// Writes the whole record to disk; false when it could not (errno set).
bool WriteReplaceJournal(const ReplaceJournal& journal);
// The record; nothing when it is missing or unreadable.
std::optional<ReplaceJournal> ReadReplaceJournal();
bool RemoveReplaceJournal();
