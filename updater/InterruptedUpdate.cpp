#include "updater/InterruptedUpdate.h"

#include "updater/ReplaceJournal.h"
#include "updater/ReplaceTransaction.h"
#include "updater/UpdateLog.h"
#include "updater/UpdaterTexts.h"

#include <string>

bool RecoverInterruptedUpdate()
{
    if (!ReplaceJournalExists())
        return true;
    const std::optional<ReplaceJournal> journal = ReadReplaceJournal();
    if (!journal) {
        // Not a record this program wrote completely: nothing can be said
        // about the installation, so nothing is replaced on top of it.
        WriteLog(std::string(updater_text::kInterruptedUnresolved) + ReplaceJournalPath());
        return false;
    }
    if (journal->state == ReplaceJournal::State::Committed) {
        FinishJournal(*journal);
        WriteLog(std::string(updater_text::kInterruptedFinished) + journal->strNewVersion);
        return true;
    }
    std::string strReason;
    if (!RollBackJournal(*journal, strReason)) {
        WriteLog(std::string(updater_text::kInterruptedUnresolved) + strReason);
        return false;
    }
    WriteLog(updater_text::kInterruptedRestored);
    return true;
}
