// Real runs of the built Fetchwell in a temporary installation against the
// demo update server, with stand-in TolvanClient and MerivoSiteSystem
// programs and its message boxes answered through tolvanctl.
#include "UpdateInstallation.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::testDir;
using testsupport::waitUntil;
using Strings = std::vector<std::string>;

namespace {

const std::string kStart = "开始检查更新";

std::string md5Of(const std::string& content)
{
    return QCryptographicHash::hash(QByteArray::fromStdString(content), QCryptographicHash::Md5).toHex().toStdString();
}

// The installation before the update, and what version 4.4.1 brings: a new
// client program, two changed files, and a new file in a new folder.
class FetchwellRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_site.install("plugins/a.dll", "old a");
        m_site.install("httproot/page.txt", "old page");
        m_site.install("Image/horn.gif", "old horn");  // not in the update
    }

    std::vector<UpdateInstallation::PublishedFile> newVersionFiles() const
    {
        return {{"TolvanClient", UpdateInstallation::newerStandinProgram()},
                {"plugins\\a.dll", "new a", md5Of("new a")},
                {"httproot/page.txt", "new page"},
                {"skins/dark/style.qss", "new style"}};
    }

    void expectOldInstallation()
    {
        EXPECT_EQ(readFile(m_site.app("TolvanClient")), UpdateInstallation::standinProgram());
        EXPECT_EQ(readFile(m_site.app("plugins/a.dll")), "old a");
        EXPECT_EQ(readFile(m_site.app("httproot/page.txt")), "old page");
        EXPECT_EQ(readFile(m_site.app("Image/horn.gif")), "old horn");
        EXPECT_FALSE(fs::exists(m_site.app("skins")));
        EXPECT_EQ(m_site.installedVersion(), "4.4.0");
        EXPECT_EQ(m_site.backupFiles(), Strings{});
        EXPECT_FALSE(fs::exists(m_site.app("update/replace.journal")));
    }

    void expectNewInstallation()
    {
        EXPECT_EQ(readFile(m_site.app("TolvanClient")), UpdateInstallation::newerStandinProgram());
        EXPECT_EQ(fs::status(m_site.app("TolvanClient")).permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
        EXPECT_EQ(readFile(m_site.app("plugins/a.dll")), "new a");
        EXPECT_EQ(readFile(m_site.app("httproot/page.txt")), "new page");
        EXPECT_EQ(readFile(m_site.app("skins/dark/style.qss")), "new style");
        EXPECT_EQ(readFile(m_site.app("Image/horn.gif")), "old horn");
        EXPECT_EQ(m_site.installedVersion(), "4.4.1");
        EXPECT_EQ(m_site.backupFiles(), Strings{});
        EXPECT_FALSE(fs::exists(m_site.app("update/replace.journal")));
        // The rest of configure.ini is the tray tool's and stays.
        EXPECT_NE(readFile(m_site.app("configure.ini")).find("pushUrl=127.0.0.1\n"), std::string::npos);
    }

    // The client started again after the run (a start after the two the
    // test made), without arguments, and still running.
    bool clientRestarted() const
    {
        const auto starts = m_site.starts();
        return starts.size() == 3 && starts[2].program == "TolvanClient" && starts[2].arguments.empty() &&
               UpdateInstallation::isRunning(starts[2].pid);
    }

    bool siteProgramsRunning() const
    {
        const auto starts = m_site.starts();
        return starts.size() >= 2 && UpdateInstallation::isRunning(starts[0].pid) &&
               UpdateInstallation::isRunning(starts[1].pid);
    }

    bool siteProgramsStopped() const
    {
        const auto starts = m_site.starts();
        return starts.size() >= 2 && !UpdateInstallation::isRunning(starts[0].pid) &&
               !UpdateInstallation::isRunning(starts[1].pid);
    }

    UpdateInstallation m_site;
};

struct CheckOnlyCase {
    const char* name;
    const char* manifest;  // nullptr: none on the server (404)
    const char* logged;
};

// Test names show the case, not its bytes.
void PrintTo(const CheckOnlyCase& value, std::ostream* out) { *out << value.name; }

class FetchwellCheckOnlyTest : public FetchwellRunTest, public ::testing::WithParamInterface<CheckOnlyCase> {};

// Runs that end at the check: logged, no box, nothing stopped or downloaded.
TEST_P(FetchwellCheckOnlyTest, EndsWithOneLogEntryAndTouchesNothing)
{
    if (GetParam().manifest)
        m_site.publishRawManifest(GetParam().manifest);
    m_site.startSitePrograms();

    ASSERT_TRUE(m_site.runFetchwell({}));

    EXPECT_EQ(m_site.logMessages(), (Strings{kStart, GetParam().logged}));
    EXPECT_EQ(m_site.requestedPaths(), Strings{"/update.xml"});
    EXPECT_TRUE(siteProgramsRunning());
    EXPECT_EQ(m_site.starts().size(), 2u);
    expectOldInstallation();
    EXPECT_FALSE(fs::exists(m_site.appFolder() + "/../outside.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Manifests, FetchwellCheckOnlyTest,
    ::testing::Values(
        CheckOnlyCase{"ManifestNotFound", nullptr, ""},
        CheckOnlyCase{"SameVersion",
                      R"(<u><v majorversion="4" minorversion="4" smallversion="0"/><f><x name="plugins/a.dll"/></f></u>)",
                      "当前版本为最新版本，无需更新"},
        CheckOnlyCase{"NameLeavingTheFolder",
                      R"(<u><v majorversion="4" minorversion="4" smallversion="1"/><f>
                           <x name="plugins/a.dll" url="http://127.0.0.1:1/a"/>
                           <x name="..\outside.txt" url="http://127.0.0.1:1/o"/></f></u>)",
                      "更新文件名无效：..\\outside.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FetchwellRunTest, CancelAtTheUpdateQuestionStopsNothing)
{
    m_site.publish("4.4.1", newVersionFiles());
    m_site.startSitePrograms();

    ASSERT_TRUE(m_site.runFetchwell({"cancel"}));

    EXPECT_EQ(m_site.logMessages(), (Strings{kStart, "客户手动取消更新"}));
    EXPECT_EQ(m_site.requestedPaths(), Strings{"/update.xml"});
    EXPECT_TRUE(siteProgramsRunning());
    expectOldInstallation();
}

class FetchwellFullUpdateTest : public FetchwellRunTest, public ::testing::WithParamInterface<bool> {};

TEST_P(FetchwellFullUpdateTest, ReplacesEveryFileSavesTheVersionAndAsksAboutTheRestart)
{
    const bool restart = GetParam();
    // Left by an earlier run of another updater: must not block this one.
    m_site.install("plugins/a.dll.old", "stale backup");
    m_site.publish("4.4.1", newVersionFiles());
    m_site.startSitePrograms();

    ASSERT_TRUE(m_site.runFetchwell({"ok", restart ? "ok" : "cancel"}));

    expectNewInstallation();
    EXPECT_EQ(m_site.requestedPaths(), (Strings{"/update.xml", "/files/TolvanClient", "/files/plugins/a.dll",
                                                "/files/httproot/page.txt", "/files/skins/dark/style.qss"}));
    EXPECT_TRUE(siteProgramsStopped());
    if (restart) {
        EXPECT_TRUE(waitUntil([this] { return clientRestarted(); }));
        EXPECT_EQ(m_site.logMessages(), (Strings{kStart, "已成功更新到4.4.1"}));
    } else {
        EXPECT_EQ(m_site.starts().size(), 2u);
        EXPECT_EQ(m_site.logMessages(), (Strings{kStart, "更新成功，客户不需要立刻重启程序"}));
    }
}

INSTANTIATE_TEST_SUITE_P(RestartAnswer, FetchwellFullUpdateTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Restart" : "NoRestart"; });

TEST_F(FetchwellRunTest, EmptyFileListStillStopsSavesTheVersionAndRestarts)
{
    m_site.publish("4.4.1", {});
    m_site.startSitePrograms();

    ASSERT_TRUE(m_site.runFetchwell({"ok", "ok"}));

    EXPECT_EQ(m_site.requestedPaths(), Strings{"/update.xml"});
    EXPECT_TRUE(siteProgramsStopped());
    EXPECT_EQ(m_site.installedVersion(), "4.4.1");
    EXPECT_EQ(readFile(m_site.app("plugins/a.dll")), "old a");
    EXPECT_TRUE(waitUntil([this] { return clientRestarted(); }));
    EXPECT_EQ(m_site.logMessages(), (Strings{kStart, "已成功更新到4.4.1"}));
}

TEST_F(FetchwellRunTest, TheDemoUpdateScriptPublishesAnUpdateFetchwellInstalls)
{
    // The script points configure.ini at the server itself.
    m_site.install("configure.ini", "[LinkInfo]\nversion=4.4.0\nupdatexmlurl=http://127.0.0.1:1/old.xml\n");
    const auto published = testsupport::runProgram(
        "bash", {QString::fromStdString(testsupport::sourceDir() + "/tools/demo/publish-demo-update.sh"),
                 QString::fromStdString(m_site.appFolder()), QString::fromStdString(m_site.servedFolder()), "--port",
                 QString::number(m_site.port()), "plugins/a.dll"});
    ASSERT_EQ(published.exitCode, 0) << published.err;
    m_site.install("plugins/a.dll", "changed after publishing");
    m_site.startSitePrograms();

    ASSERT_TRUE(m_site.runFetchwell({"ok", "cancel"}));

    EXPECT_EQ(m_site.installedVersion(), "4.4.1");
    EXPECT_EQ(readFile(m_site.app("plugins/a.dll")), "old a");
    EXPECT_EQ(readFile(m_site.app("TolvanClient")), UpdateInstallation::standinProgram());
    EXPECT_EQ(m_site.backupFiles(), Strings{});
    EXPECT_EQ(m_site.logMessages(), (Strings{kStart, "更新成功，客户不需要立刻重启程序"}));
    EXPECT_EQ(m_site.requestedPaths(),
              (Strings{"/update.xml", "/files/TolvanClient", "/files/MerivoSiteSystem", "/files/Fetchwell",
                       "/files/plugins/a.dll"}));
}

struct FailureCase {
    const char* name;
    const char* loggedPrefix;
};

// Test names show the case, not its bytes.
void PrintTo(const FailureCase& value, std::ostream* out) { *out << value.name; }

class FetchwellFailedUpdateTest : public FetchwellRunTest, public ::testing::WithParamInterface<FailureCase> {};

// An update that fails part-way leaves every file old, the version
// unchanged, and the client running again.
TEST_P(FetchwellFailedUpdateTest, LeavesTheOldInstallationAndRestartsTheClient)
{
    const std::string failure = GetParam().name;
    auto files = newVersionFiles();
    std::map<std::string, std::string> env;
    if (failure == "DownloadFailsInTheMiddle") {
        files[2].served = false;
        // A complete new file from an earlier run: never installed in place of
        // the failed download.
        m_site.install("update/httproot/page.txt", "new page");
    } else if (failure == "Md5Mismatch") {
        files[1].md5 = md5Of("something else");
    } else {
        // One rename fails: of a downloaded file over its installed name, or
        // the one that puts the rewritten configure.ini in place.
        const std::string path = failure == "VersionNotSaved" ? "configure.ini" : "httproot/page.txt";
        env = {{"LD_PRELOAD", testDir() + "/libupdater_fault_preload.so"},
               {"UPDATER_TEST_FAULT_CALL", "rename"},
               {"UPDATER_TEST_FAULT_PATH", m_site.app(path)},
               {"UPDATER_TEST_FAULT_ACTION", "fail"}};
    }
    m_site.publish("4.4.1", files);
    m_site.startSitePrograms();

    ASSERT_TRUE(m_site.runFetchwell({"ok"}, env));

    expectOldInstallation();
    const auto messages = m_site.logMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], kStart);
    EXPECT_EQ(messages[1].rfind(GetParam().loggedPrefix, 0), 0u) << messages[1];
    EXPECT_TRUE(waitUntil([this] { return clientRestarted(); }));
    EXPECT_FALSE(fs::exists(m_site.app("update/replace.journal")));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FetchwellFailedUpdateTest,
    ::testing::Values(FailureCase{"DownloadFailsInTheMiddle", "更新失败，下载文件失败：http://127.0.0.1:"},
                      FailureCase{"Md5Mismatch", "更新失败，文件校验失败：plugins\\a.dll"},
                      FailureCase{"ReplacementFailsInTheMiddle", "更新失败，替换文件失败：httproot/page.txt"},
                      FailureCase{"VersionNotSaved", "版本号更新失败，失败原因为："}),
    [](const auto& info) { return std::string(info.param.name); });

struct KillCase {
    const char* name;
    const char* call;  // the call after which Fetchwell is killed
    const char* path;
    bool committed;
};

// Test names show the case, not its bytes.
void PrintTo(const KillCase& value, std::ostream* out) { *out << value.name; }

class FetchwellKilledTest : public FetchwellRunTest, public ::testing::WithParamInterface<KillCase> {};

// Fetchwell killed with SIGKILL in the middle of the replacement: the next
// start restores the old installation (or finishes the new one) before its
// own check.
TEST_P(FetchwellKilledTest, NextStartResolvesTheInterruptedReplacement)
{
    m_site.publish("4.4.1", newVersionFiles());
    m_site.startSitePrograms();
    const std::string marker = m_site.served("fetchwell-paused");
    auto fetchwell = m_site.startFetchwell({{"LD_PRELOAD", testDir() + "/libupdater_fault_preload.so"},
                                            {"UPDATER_TEST_FAULT_CALL", GetParam().call},
                                            {"UPDATER_TEST_FAULT_PATH", m_site.app(GetParam().path)},
                                            {"UPDATER_TEST_FAULT_ACTION", "pause"},
                                            {"UPDATER_TEST_FAULT_MARKER", marker}});
    ASSERT_TRUE(m_site.press("ok"));
    ASSERT_TRUE(waitUntil([&] { return fs::exists(marker); }, std::chrono::seconds(60)));
    fetchwell->kill();
    ASSERT_TRUE(fetchwell->waitForExit());
    fs::remove(marker);
    // Killed half-way: some files new, some old, the record left behind.
    ASSERT_TRUE(fs::exists(m_site.app("update/replace.journal")));
    ASSERT_FALSE(m_site.backupFiles().empty());

    if (GetParam().committed) {
        // Finished, then checked: the manifest's version is installed now.
        ASSERT_TRUE(m_site.runFetchwell({}));
        expectNewInstallation();
        EXPECT_EQ(m_site.logMessages(), (Strings{kStart, kStart, "上次更新未完成，已完成更新到4.4.1",
                                                 "当前版本为最新版本，无需更新"}));
    } else {
        // Restored, then checked: the update is offered again.
        ASSERT_TRUE(m_site.runFetchwell({"cancel"}));
        expectOldInstallation();
        EXPECT_EQ(m_site.logMessages(),
                  (Strings{kStart, kStart, "上次更新未完成，已恢复原有文件", "客户手动取消更新"}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    KillPoints, FetchwellKilledTest,
    ::testing::Values(KillCase{"BeforeCommit", "rename", "plugins/a.dll", false},
                      KillCase{"WhileRemovingBackups", "unlink", "TolvanClient.old", true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
