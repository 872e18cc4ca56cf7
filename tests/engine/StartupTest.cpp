// The client's start-up of the engine: the engine command line, the settings
// read from it, and what a failed start shows.
#include "engine/fake/FakeEngine.h"
#include "engine/startup/EngineStartup.h"
#include "platform/Paths.h"

#include "HttpServer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QProcessEnvironment>

#include <sqlite3.h>
#include <unistd.h>

namespace {

CefSettings settingsFor(std::vector<const char*> argv)
{
    argv.insert(argv.begin(), "TolvanClient");
    return engine::engineSettingsFrom(
        engine::buildEngineCommandLine(int(argv.size()), argv.data(), "/tmp/user/"));
}

TEST(EngineStartupTest, DefaultsWithoutSwitches)
{
    const CefSettings settings = settingsFor({});
    EXPECT_TRUE(settings.multi_threaded_message_loop);
    EXPECT_EQ(settings.cache_path.ToString(), "/tmp/user/WebKitCache");
    EXPECT_EQ(settings.locale.ToString(), "zh-CN");
    EXPECT_EQ(settings.log_severity, LOGSEVERITY_DISABLE);
    EXPECT_EQ(settings.graphics_implementation, ANGLE_IN_PROCESS);
    EXPECT_EQ(settings.local_storage_quota, 0u);
    EXPECT_EQ(settings.session_storage_quota, 0u);
    EXPECT_TRUE(settings.user_agent.empty());
    EXPECT_FALSE(settings.release_dcheck_enabled);
    EXPECT_FALSE(settings.pack_loading_disabled);
}

TEST(EngineStartupTest, SwitchesTuneTheSettingsExceptTheForcedOnes)
{
    const CefSettings settings = settingsFor(
        {"-http://site/start", "--locale=en-US", "--cache-path=/elsewhere",
         "--user-agent=Agent/1 (x)", "--product-version=P/2", "--log-file=/tmp/log",
         "--release-dcheck-enabled", "--graphics-implementation=desktop",
         "--local-storage-quota=5000000", "--session-storage-quota=12abc",
         "--javascript-flags=--expose-gc", "--resources-dir-path=/r", "--locales-dir-path=/l",
         "--pack-loading-disabled", "--uncaught-exception-stack-size=-3",
         "--context-safety-implementation=1"});
    EXPECT_EQ(settings.locale.ToString(), "zh-CN");
    EXPECT_EQ(settings.cache_path.ToString(), "/tmp/user/WebKitCache");
    EXPECT_EQ(settings.user_agent.ToString(), "Agent/1 (x)");
    EXPECT_EQ(settings.product_version.ToString(), "P/2");
    EXPECT_EQ(settings.log_file.ToString(), "/tmp/log");
    EXPECT_EQ(settings.log_severity, LOGSEVERITY_DISABLE);
    EXPECT_TRUE(settings.release_dcheck_enabled);
    EXPECT_EQ(settings.graphics_implementation, DESKTOP_IN_PROCESS);
    EXPECT_EQ(settings.local_storage_quota, 5000000u);
    EXPECT_EQ(settings.session_storage_quota, 12u);
    EXPECT_EQ(settings.javascript_flags.ToString(), "--expose-gc");
    EXPECT_EQ(settings.resources_dir_path.ToString(), "/r");
    EXPECT_EQ(settings.locales_dir_path.ToString(), "/l");
    EXPECT_TRUE(settings.pack_loading_disabled);
    EXPECT_EQ(settings.uncaught_exception_stack_size, -3);
    EXPECT_EQ(settings.context_safety_implementation, 1);
}

TEST(EngineStartupTest, GraphicsImplementationAndNumbers)
{
    for (const auto& [value, expected] :
         std::vector<std::pair<std::string, cef_graphics_implementation_t>>{
             {"angle", ANGLE_IN_PROCESS},
             {"angle-command-buffer", ANGLE_IN_PROCESS_COMMAND_BUFFER},
             {"desktop", DESKTOP_IN_PROCESS},
             {"desktop-command-buffer", DESKTOP_IN_PROCESS_COMMAND_BUFFER},
             {"Desktop", ANGLE_IN_PROCESS},
             {"", ANGLE_IN_PROCESS}})
        EXPECT_EQ(engine::graphicsImplementationFrom(value), expected) << value;
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"42", 42}, {"  -17x", -17}, {"+8", 8}, {"abc", 0}, {"", 0}, {"- 5", 0},
             {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}})
        EXPECT_EQ(engine::atoiLike(text), expected) << text;
}

TEST(EngineStartupTest, FailedStartShowsOneMessageAndRegistersNothing)
{
    using engine::fake::FakeEngine;
    FakeEngine::reset();
    FakeEngine::setInitializeResult(false);
    const char* argv[] = {"TolvanClient"};
    std::vector<std::string> messages;
    int extras = 0;
    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(engine::startEngine(1, argv, [&] { ++extras; },
                                         [&](const std::string& text) { messages.push_back(text); }));
    EXPECT_EQ(messages, std::vector<std::string>{"CEF初始化失败！"});
    EXPECT_EQ(extras, 0);

    FakeEngine::reset();
    EXPECT_TRUE(engine::startEngine(1, argv, [&] { ++extras; }, {}));
    EXPECT_EQ(extras, 1);
    EXPECT_EQ(FakeEngine::settings().cache_path.ToString(), platform::tempFolder() + "WebKitCache");
    engine::shutdownEngine();
    FakeEngine::reset();
}

// ---- the real engine, in a process of its own ------------------------------

testsupport::ProgramResult runHelper(const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QString::fromStdString(testsupport::testDir() + "/engine_helper"), arguments);
    testsupport::ProgramResult result;
    result.finished = process.waitForFinished(120000);
    if (!result.finished)
        process.kill();
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

QProcessEnvironment offscreen()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.remove("QTWEBENGINE_DISABLE_SANDBOX");
    return environment;
}

TEST(EngineStartupTest, MissingEngineHelperProgramIsAFailedStart)
{
    QProcessEnvironment environment = offscreen();
    environment.insert("QTWEBENGINEPROCESS_PATH", "/nonexistent/QtWebEngineProcess");
    const auto result = runHelper({"startup"}, environment);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "started=0 messages=1 extras=0\n");
}

TEST(EngineStartupTest, RealEngineStartsAndTurnsTheSandboxOffOnlyForRoot)
{
    const auto result = runHelper({"startup", "--user-agent=Test"}, offscreen());
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.out, "started=1 messages=0 extras=1\n") << result.err;
    const std::string notice = "engine: running as root; Chromium's sandbox is turned off\n";
    std::size_t count = 0;
    for (auto at = result.err.find(notice); at != std::string::npos; at = result.err.find(notice, at + 1))
        ++count;
    EXPECT_EQ(count, geteuid() == 0 ? 1u : 0u) << result.err;
}

std::vector<std::string> cookieNames(const std::string& database)
{
    std::vector<std::string> names;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "select name from cookies order by name", -1, &statement,
                               nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW)
                names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return names;
}

// The tray tool looks for the sign-on cookie in the cache folder's "Cookies"
// database: session cookies are written there too, and forgotten by the
// next start.
TEST(EngineStartupTest, CookiesAreStoredInTheCacheFolder)
{
    testsupport::TempFolder cache("tolvan-cookies");
    testsupport::HttpServer server;
    testsupport::HttpResponse login;
    login.body = testsupport::htmlPage("<p>signed on</p>");
    login.headers = {{"Set-Cookie", "CASTGC=TGT-1-abc; Path=/"},
                     {"Set-Cookie", "remember=1; Max-Age=86400; Path=/"}};
    server.route("/login", login);
    testsupport::HttpResponse plain;
    plain.body = testsupport::htmlPage("<p>again</p>");
    server.route("/again", plain);

    auto result = runHelper({"cookies", QString::fromStdString(cache.path()),
                             QString::fromStdString(server.url("/login"))},
                            offscreen());
    ASSERT_TRUE(result.finished);
    ASSERT_EQ(result.out, "loaded 200\n") << result.err;
    EXPECT_EQ(cookieNames(cache.file("Cookies")), (std::vector<std::string>{"CASTGC", "remember"}));

    result = runHelper({"cookies", QString::fromStdString(cache.path()),
                        QString::fromStdString(server.url("/again"))},
                       offscreen());
    ASSERT_EQ(result.out, "loaded 200\n") << result.err;
    EXPECT_EQ(cookieNames(cache.file("Cookies")), std::vector<std::string>{"remember"});
}

} // namespace
