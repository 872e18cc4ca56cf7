// The real client against the demo site system: one instance per log-on, the
// command line, addresses and WM_CLOSE from other programs, the page
// functions, the tencent scheme and dojopr.
#include "ClientProcess.h"
#include "PrivateDisplay.h"

#include "shared/Messages.h"
#include "shared/ProgramNames.h"
#include "shared/SharedRegions.h"
#include "shared/SiteAddresses.h"
#include "shared/WindowTitles.h"

#include "platform/Processes.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const std::string kTitle(tolvan::kClientWindowTitle);

class ClientProcess : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(site.running()); }

    // Starts the client and waits until its window exists and its first page
    // has loaded.
    void start(const QStringList& arguments = {}, const std::string& title = kTitle,
               const std::string& firstPage = "/login")
    {
        client = startClient(installation, environment, arguments);
        window = waitForWindow(title);
        ASSERT_TRUE(window) << "the client's window did not appear";
        ASSERT_TRUE(site.waitForLog("GET " + firstPage + " 200")) << "the first page did not load";
    }

    int regionValue(const char* region, const char* field)
    {
        auto result = tolvanctl({"shm-read", region});
        auto json = QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();
        return json.value(field).toInt(-100);
    }

    DemoSite site;
    ClientInstallation installation{site};
    ClientEnvironment environment;
    std::unique_ptr<testsupport::RunningProgram> client;
    platform::WindowHandle window;
};

} // namespace

TEST_F(ClientProcess, ASecondInstanceShowsTheRunningOneAndCloseHidesOrEnds)
{
    start();
    EXPECT_TRUE(platform::isWindowVisible(window));

    // WM_CLOSE with wParam 0 (and the close button) only hides the window.
    EXPECT_EQ(tolvanctl({"close", QString::fromStdString(kTitle), "--wparam", "0"}).exitCode, 0);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !platform::isWindowVisible(window); }));
    EXPECT_TRUE(platform::isWindow(window));

    // A second client shows the first one and ends without a window of its own.
    auto second = startClient(installation, environment, {"-" + QString::fromStdString(site.url("/other"))});
    ASSERT_TRUE(second->waitForExit(kClientStartTimeoutMs));
    ASSERT_TRUE(testsupport::waitUntil([&] { return platform::isWindowVisible(window); }));
    EXPECT_FALSE(platform::isIconic(window));
    EXPECT_EQ(platform::enumWindows().size(), 1u);
    EXPECT_FALSE(site.waitForLog("GET /other", 1000));

    // WM_CLOSE with wParam 1 ends the client.
    EXPECT_EQ(tolvanctl({"close", QString::fromStdString(kTitle), "--wparam", "1"}).exitCode, 0);
    EXPECT_TRUE(client->waitForExit(30000));
    EXPECT_FALSE(platform::isWindow(window));
}

TEST_F(ClientProcess, TheCommandLineGivesAddressTitleAndReplyCode)
{
    site.addPage("bind.html", reportingPage("external.GetBindShopResponse('店铺已绑定'); report('bind done');"));
    testsupport::RunningProgram manager(testsupport::binDir() + "/tolvanctl",
                                        {"listen", QString::fromStdString(std::string(tolvan::kCorvaneManagerTitle))});
    testsupport::RunningProgram company(testsupport::binDir() + "/tolvanctl",
                                        {"listen", QString::fromStdString(std::string(tolvan::kCorvaneCompanyTitle))});
    ASSERT_TRUE(manager.waitForLine("ready"));
    ASSERT_TRUE(company.waitForLine("ready"));

    start({"-" + QString::fromStdString(site.url("/bind.html")), "-站点甲", "-5"}, "站点甲", "/bind.html");
    EXPECT_FALSE(platform::findWindow(kTitle));
    ASSERT_TRUE(site.waitForLog("page: bind done"));

    auto answer = manager.waitForLine("\"msg\":74");
    ASSERT_TRUE(answer);
    const auto json = QJsonDocument::fromJson(QByteArray::fromStdString(*answer)).object();
    EXPECT_EQ(json.value("wParam").toInt(), 5);
    EXPECT_EQ(json.value("text").toString(), QString("店铺已绑定"));
    auto close = company.waitForLine("\"msg\":16");
    ASSERT_TRUE(close);
    EXPECT_NE(close->find("\"wParam\":0"), std::string::npos);
}

TEST_F(ClientProcess, TheLogoutAddressFromAnotherProgramLogsOutBeforeAClickIntoTheBrowser)
{
    start();
    EXPECT_EQ(regionValue("tolvan", "i32"), 0);
    const std::string logout = site.url(std::string(tolvan::kLogoutPath));
    EXPECT_EQ(tolvanctl({"send-copydata", QString::fromStdString(kTitle), QString::fromStdString(logout)}).exitCode, 0);
    EXPECT_EQ(regionValue("tolvan", "i32"), tolvan::kClientStateLoggedOut);
    EXPECT_TRUE(site.waitForLog("GET " + std::string(tolvan::kLogoutPath) + " 200"));
    // The browser view's path writes no log record.
    EXPECT_FALSE(std::filesystem::exists(environment.workFolder() + "/ConsoleMsg.log"));

    // A hidden client still loads what it is sent.
    tolvanctl({"close", QString::fromStdString(kTitle), "--wparam", "0"});
    ASSERT_TRUE(sendAddress(window, site.url("/express/grab/list")));
    EXPECT_TRUE(site.waitForLog("GET /express/grab/list"));
}

TEST_F(ClientProcess, PageFunctionsReachTheSharedMemoriesTheTrayToolAndTheDesktop)
{
    site.addPage("sound300.html", reportingPage("report('PlaySound(300)=' + external.PlaySound(300));"));
    site.addPage("sound3.html", reportingPage("report('PlaySound(null,3)=' + external.PlaySound(null, 3));"));
    site.addPage("userinfo.html", reportingPage("external.SendUserInfo('C100;U200'); report('user info sent');"));
    site.addPage("contact.html", reportingPage("external.ContactService('123'); report('contact asked');"));
    site.addPage("tencent.html",
                 reportingPage("document.getElementById('chat').click();"
                               "setTimeout(function () { report('still on ' + location.pathname); }, 1500);",
                               "<a id='chat' href='tencent://message/?Menu=yes&uin=42'>chat</a>"));

    const std::string tray(tolvan::kTrayToolProgram);
    start();
    // At its start the client restarts the tray tool with its own path and
    // starts the updater, and switches the push sound on.
    ASSERT_TRUE(testsupport::waitUntil([&] { return installation.starts(tray).size() == 1; }));
    EXPECT_EQ(installation.starts(tray)[0],
              std::vector<std::string>{installation.file(std::string(tolvan::kClientProgram))});
    EXPECT_EQ(installation.starts(std::string(tolvan::kUpdaterProgram)).size(), 1u);
    EXPECT_EQ(regionValue("sound", "i8"), 1);

    sendAddress(window, site.url("/sound300.html"));
    ASSERT_TRUE(site.waitForLog("page: PlaySound(300)=44"));
    EXPECT_EQ(regionValue("sound", "i8"), 44);
    sendAddress(window, site.url("/sound3.html"));
    ASSERT_TRUE(site.waitForLog("page: PlaySound(null,3)=3"));
    EXPECT_EQ(regionValue("sound", "i8"), 3);

    // The login hands the member to a new tray tool, never through a shell.
    const pid_t firstTrayTool = platform::findProcessByName(tray);
    sendAddress(window, site.url("/userinfo.html"));
    ASSERT_TRUE(site.waitForLog("page: user info sent"));
    EXPECT_EQ(regionValue("tolvan", "i32"), tolvan::kClientStateUserInfoSent);
    ASSERT_EQ(installation.starts(tray).size(), 2u);
    EXPECT_EQ(installation.starts(tray)[1], std::vector<std::string>{"C100;U200"});
    EXPECT_FALSE(platform::isProcessRunning(firstTrayTool));

    sendAddress(window, site.url("/contact.html"));
    ASSERT_TRUE(site.waitForLog("page: contact asked"));
    // A tencent link loads nothing; the desktop's handler gets the address.
    sendAddress(window, site.url("/tencent.html"));
    ASSERT_TRUE(site.waitForLog("page: still on /tencent.html"));
    ASSERT_TRUE(testsupport::waitUntil([&] { return installation.starts("xdg-open").size() == 2; }));
    const auto opened = installation.starts("xdg-open");
    EXPECT_TRUE(opened[0].at(0).starts_with("tencent://message/?Menu=yes&uin=123&Site=")) << opened[0].at(0);
    EXPECT_EQ(opened[1], std::vector<std::string>{"tencent://message/?Menu=yes&uin=42"});
}

TEST_F(ClientProcess, DojoprRunsAfterPagesThatLoadWithStatus200Only)
{
    site.addPage("ok.html", reportingPage(""));
    start();
    ASSERT_TRUE(site.waitForLog("page: dojopr /login"));
    sendAddress(window, site.url("/missing.html"));
    ASSERT_TRUE(site.waitForLog("GET /missing.html 404"));
    sendAddress(window, site.url("/ok.html"));
    ASSERT_TRUE(site.waitForLog("page: dojopr /ok.html"));
    for (const auto& line : site.log())
        EXPECT_EQ(line.find("dojopr /missing"), std::string::npos) << line;
}

namespace {

testsupport::ProgramResult xdotool(const std::string& display, const QStringList& arguments)
{
    const char* previous = std::getenv("DISPLAY");
    const std::string saved = previous ? previous : "";
    setenv("DISPLAY", display.c_str(), 1);
    auto result = testsupport::runProgram("/usr/bin/xdotool", arguments, 30000);
    if (previous)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
    return result;
}

} // namespace

TEST_F(ClientProcess, AfterAClickIntoTheBrowserAnAddressFromAnotherProgramIsLoggedAndKeepsTheState)
{
    if (!std::filesystem::exists("/usr/bin/xdotool"))
        GTEST_SKIP() << "xdotool is missing";
    testsupport::PrivateDisplay x;
    ASSERT_FALSE(x.display().empty()) << "no X server";
    environment.set("DISPLAY", x.display());
    environment.set("QT_QPA_PLATFORM", "xcb");

    site.addPage("click.html", reportingPage("document.onmousedown = function () { report('clicked'); };",
                                             "<div style='position:fixed;inset:0'>click</div>"));
    start({"-" + QString::fromStdString(site.url("/click.html"))}, kTitle, "/click.html");
    const auto found = xdotool(x.display(), {"search", "--sync", "--name", "^" + QString::fromStdString(kTitle) + "$"});
    ASSERT_EQ(found.exitCode, 0) << found.err;
    const QString xWindow = QString::fromStdString(found.out).split('\n').first();
    // A page that has just loaded may not take input yet; click until it has
    // seen a click.
    bool clicked = false;
    for (int attempt = 0; attempt < 20 && !clicked; ++attempt) {
        ASSERT_EQ(xdotool(x.display(), {"mousemove", "--window", xWindow, "200", "200", "click", "1"}).exitCode, 0);
        clicked = site.waitForLog("page: clicked", 3000);
    }
    ASSERT_TRUE(clicked);

    tolvanctl({"shm-write", "tolvan", "--i32", "1"});
    const std::string logout = site.url(std::string(tolvan::kLogoutPath));
    EXPECT_EQ(tolvanctl({"send-copydata", QString::fromStdString(kTitle), QString::fromStdString(logout)}).exitCode, 0);
    EXPECT_TRUE(site.waitForLog("GET " + std::string(tolvan::kLogoutPath) + " 200"));
    // The logout page itself calls external.Logout(); the message alone
    // leaves the state as it was.
    EXPECT_EQ(regionValue("tolvan", "i32"), tolvan::kClientStateUserInfoSent);

    const std::string log = testsupport::readFile(environment.workFolder() + "/ConsoleMsg.log");
    EXPECT_TRUE(log.ends_with("M \r\n" + logout + "\r\n")) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
}

TEST_F(ClientProcess, TheWindowStaysMaximisedOnceTheBrowserIsIn)
{
    for (const char* program : {"/usr/bin/xdotool", "/usr/bin/xprop", "/usr/bin/icewm"}) {
        if (!std::filesystem::exists(program))
            GTEST_SKIP() << program << " is missing";
    }
    testsupport::PrivateDisplay x;
    ASSERT_FALSE(x.display().empty()) << "no X server";
    environment.set("DISPLAY", x.display());
    environment.set("QT_QPA_PLATFORM", "xcb");
    // A window manager, which keeps track of the maximised state.
    const char* previous = std::getenv("DISPLAY");
    const std::string saved = previous ? previous : "";
    setenv("DISPLAY", x.display().c_str(), 1);
    testsupport::RunningProgram windowManager("/usr/bin/icewm", {});
    previous ? setenv("DISPLAY", saved.c_str(), 1) : unsetenv("DISPLAY");

    site.addPage("page.html", reportingPage(""));
    start({"-" + QString::fromStdString(site.url("/page.html"))}, kTitle, "/page.html");
    const auto found = xdotool(x.display(), {"search", "--sync", "--name", "^" + QString::fromStdString(kTitle) + "$"});
    ASSERT_EQ(found.exitCode, 0) << found.err;
    const QString xWindow = QString::fromStdString(found.out).split('\n').first();

    // The browser switches the frame's native window to OpenGL, which replaces
    // it; the new window must be maximised as well.
    auto maximised = [&] {
        setenv("DISPLAY", x.display().c_str(), 1);
        auto state = testsupport::runProgram("/usr/bin/xprop", {"-id", xWindow, "_NET_WM_STATE"});
        previous ? setenv("DISPLAY", saved.c_str(), 1) : unsetenv("DISPLAY");
        return state.out.find("_NET_WM_STATE_MAXIMIZED_VERT") != std::string::npos &&
               state.out.find("_NET_WM_STATE_MAXIMIZED_HORZ") != std::string::npos;
    };
    EXPECT_TRUE(testsupport::waitUntil(maximised, std::chrono::seconds(15)));
}
