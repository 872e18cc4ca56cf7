// The replacement transaction in one process: all or nothing, whatever step
// fails, and a journal from which a killed run is resolved.
#include "TestSupport.h"

#include "updater/ReplaceJournal.h"
#include "updater/ReplaceTransaction.h"
#include "updater/UpdaterGlobals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::TempFolder;

namespace {

class ReplaceTransactionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(m_app.path());
        fs::create_directories(m_app.file("update"));
        write("configure.ini", "[LinkInfo]\nversion=1.0.0\n");
        write("a.dll", "old a");
        write("b.dll", "old b");
        for (const char* name : {"a.dll", "b.dll", "sub/c.txt"}) {
            write(std::string("update/") + name, std::string("new ") + name);
            UpdateFileInfo file;
            file.strUrl = "http://127.0.0.1/x";
            file.strName = name;
            m_files.push_back(file);
        }
    }

    void write(const std::string& name, const std::string& content)
    {
        fs::create_directories(fs::path(m_app.file(name)).parent_path());
        testsupport::writeFile(m_app.file(name), content);
    }

    std::string version() { return readFile(m_app.file("configure.ini")); }

    void expectOld()
    {
        EXPECT_EQ(readFile(m_app.file("a.dll")), "old a");
        EXPECT_EQ(readFile(m_app.file("b.dll")), "old b");
        EXPECT_FALSE(fs::exists(m_app.file("sub")));
        EXPECT_FALSE(fs::exists(m_app.file("a.dll.old")));
        EXPECT_FALSE(fs::exists(m_app.file("b.dll.old")));
        EXPECT_FALSE(ReplaceJournalExists());
        EXPECT_EQ(version(), "[LinkInfo]\nversion=1.0.0\n");
    }

    TempFolder m_app{"fetchwell-replace"};
    std::vector<UpdateFileInfo> m_files;
};

TEST_F(ReplaceTransactionTest, InstallsEveryFileAndTheVersion)
{
    write("a.dll.old", "stale backup of an earlier run");
    std::string reason;
    ASSERT_TRUE(InstallUpdate(m_files, "1.0.1", reason)) << reason;
    EXPECT_EQ(readFile(m_app.file("a.dll")), "new a.dll");
    EXPECT_EQ(readFile(m_app.file("b.dll")), "new b.dll");
    EXPECT_EQ(readFile(m_app.file("sub/c.txt")), "new sub/c.txt");
    EXPECT_FALSE(fs::exists(m_app.file("a.dll.old")));
    EXPECT_FALSE(fs::exists(m_app.file("b.dll.old")));
    EXPECT_FALSE(ReplaceJournalExists());
    EXPECT_NE(version().find("version=1.0.1"), std::string::npos);
}

TEST_F(ReplaceTransactionTest, AMissingDownloadFailsBeforeAnythingIsTouched)
{
    fs::remove(m_app.file("update/sub/c.txt"));
    std::string reason;
    EXPECT_FALSE(InstallUpdate(m_files, "1.0.1", reason));
    EXPECT_EQ(reason, "更新失败，替换文件失败：sub/c.txt（下载的文件不存在）");
    expectOld();
}

TEST_F(ReplaceTransactionTest, AFailureAfterSomeFilesRollsEveryOneBack)
{
    CReplaceTransaction transaction(m_files, "1.0.1");
    std::string reason;
    ASSERT_TRUE(transaction.Begin(reason)) << reason;
    // The last download vanishes after the check: the first two files are
    // replaced before the third fails.
    fs::remove(m_app.file("update/sub/c.txt"));
    EXPECT_FALSE(transaction.ReplaceFiles(reason));
    EXPECT_EQ(readFile(m_app.file("a.dll")), "new a.dll");
    ASSERT_TRUE(transaction.RollBack(reason)) << reason;
    expectOld();
}

TEST_F(ReplaceTransactionTest, AnUncommittedTransactionRollsBackWhenItEnds)
{
    {
        CReplaceTransaction transaction(m_files, "1.0.1");
        std::string reason;
        ASSERT_TRUE(transaction.Begin(reason));
        ASSERT_TRUE(transaction.ReplaceFiles(reason));
    }
    expectOld();
}

class InterruptedReplacementTest : public ReplaceTransactionTest, public ::testing::WithParamInterface<int> {};

// A child process runs the transaction up to a step and ends there without
// any clean-up, as a killed Fetchwell does; the journal it leaves resolves
// the installation.
TEST_P(InterruptedReplacementTest, TheJournalResolvesIt)
{
    const int stepsDone = GetParam();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        CReplaceTransaction transaction(m_files, "1.0.1");
        std::string reason;
        bool ok = transaction.Begin(reason);
        if (ok && stepsDone >= 2)
            ok = transaction.ReplaceFiles(reason);
        if (ok && stepsDone >= 3)
            ok = transaction.Commit(reason);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    const auto journal = ReadReplaceJournal();
    ASSERT_TRUE(journal);
    if (stepsDone == 3) {
        EXPECT_EQ(journal->state, ReplaceJournal::State::Committed);
        FinishJournal(*journal);
        EXPECT_EQ(readFile(m_app.file("a.dll")), "new a.dll");
        EXPECT_EQ(readFile(m_app.file("sub/c.txt")), "new sub/c.txt");
        EXPECT_FALSE(fs::exists(m_app.file("a.dll.old")));
        EXPECT_FALSE(ReplaceJournalExists());
        EXPECT_NE(version().find("version=1.0.1"), std::string::npos);
    } else {
        EXPECT_EQ(journal->state, ReplaceJournal::State::Replacing);
        std::string reason;
        EXPECT_TRUE(RollBackJournal(*journal, reason)) << reason;
        expectOld();
    }
}

std::string stepName(const ::testing::TestParamInfo<int>& info)
{
    return info.param == 1 ? "Begun" : info.param == 2 ? "Replaced" : "Committed";
}

INSTANTIATE_TEST_SUITE_P(StepsDone, InterruptedReplacementTest, ::testing::Values(1, 2, 3), stepName);

TEST_F(ReplaceTransactionTest, JournalReadsBackWhatWasWritten)
{
    ReplaceJournal journal;
    journal.state = ReplaceJournal::State::Committed;
    journal.strOldVersion = "4.4.0";
    journal.strNewVersion = "4.4.1";
    journal.createdFolders = {"skins", "skins/dark"};
    journal.entries = {{"TolvanClient", true}, {"skins/dark/中文 名.qss", false}};
    ASSERT_TRUE(WriteReplaceJournal(journal));
    const auto read = ReadReplaceJournal();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->state, journal.state);
    EXPECT_EQ(read->strOldVersion, "4.4.0");
    EXPECT_EQ(read->strNewVersion, "4.4.1");
    EXPECT_EQ(read->createdFolders, journal.createdFolders);
    ASSERT_EQ(read->entries.size(), 2u);
    EXPECT_EQ(read->entries[1].strName, "skins/dark/中文 名.qss");
    EXPECT_FALSE(read->entries[1].bHadTarget);

    // A record cut short is not taken for one.
    const std::string text = readFile(ReplaceJournalPath());
    testsupport::writeFile(ReplaceJournalPath(), text.substr(0, text.size() - 4));
    EXPECT_FALSE(ReadReplaceJournal());
}

} // namespace
