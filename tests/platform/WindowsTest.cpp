// The window layer: finding windows by title and sending them messages,
// within one process and between real processes.

#include "TestSupport.h"

#include "platform/Windows.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

using namespace platform;
using testsupport::RunningProgram;

namespace {

std::string helper() { return testsupport::testDir() + "/window_helper"; }
std::string tolvanctl() { return testsupport::binDir() + "/tolvanctl"; }

// A window program started for one test, ready once it said so.
std::unique_ptr<RunningProgram> startReady(const std::string& program, const QStringList& arguments)
{
    auto running = std::make_unique<RunningProgram>(program, arguments);
    EXPECT_TRUE(running->waitForLine("\"ready\":true", 20000)) << running->standardError();
    return running;
}

class WindowsTest : public ::testing::Test {
protected:
    testsupport::ScopedRuntimeFolder runtime;
};

} // namespace

TEST_F(WindowsTest, SendToOwnWindowIsDirectCallAndPostWaitsForTheEventLoop)
{
    std::vector<UINT> seen;
    auto window = Window::create("own", [&](UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        seen.push_back(message);
        if (message == WM_COPYDATA) {
            // In-process the sender's own record arrives.
            auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            return LRESULT(copy->cbData);
        }
        return LRESULT(wParam * 2);
    });

    EXPECT_EQ(sendMessage(window->handle(), WM_USER, 21, 0), 42);
    COPYDATASTRUCT copy{0, 7, "payload"};
    EXPECT_EQ(sendMessage(window->handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)), 7);

    EXPECT_TRUE(postMessage(window->handle(), WM_USER + 1, 0, 0));
    EXPECT_EQ(seen.size(), 2u) << "a post runs from the event loop, not inside the call";
    QCoreApplication::processEvents();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen.back(), WM_USER + 1);

    EXPECT_FALSE(postMessage(window->handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)));
}

TEST_F(WindowsTest, FindWindowSeesTopLevelWindowsByExactTitleNewestFirst)
{
    auto first = Window::create("Tolvan站长管理工具", [](UINT, WPARAM, LPARAM) { return 0; });
    auto second = Window::create("Tolvan站长管理工具", [](UINT, WPARAM, LPARAM) { return 0; });
    auto child = Window::create("child", [](UINT, WPARAM, LPARAM) { return 0; }, WindowKind::Child);

    EXPECT_EQ(findWindow("Tolvan站长管理工具"), second->handle());
    EXPECT_FALSE(findWindow("Tolvan站长管理"));
    EXPECT_FALSE(findWindow("child")) << "child windows are not top-level";
    EXPECT_TRUE(isWindow(child->handle()));

    second.reset();
    EXPECT_EQ(findWindow("Tolvan站长管理工具"), first->handle());
    first->setTitle("renamed");
    EXPECT_FALSE(findWindow("Tolvan站长管理工具"));
    EXPECT_EQ(findWindow("renamed"), first->handle());
}

TEST_F(WindowsTest, SendFromAnotherThreadRunsOnTheOwnerThreadAndWaits)
{
    std::thread::id ranOn;
    auto window = Window::create("owner", [&](UINT, WPARAM wParam, LPARAM) -> LRESULT {
        ranOn = std::this_thread::get_id();
        return LRESULT(wParam + 1);
    });
    std::optional<LRESULT> result;
    std::thread sender([&] { result = sendMessage(window->handle(), WM_USER, 41, 0); });
    ASSERT_TRUE(testsupport::waitUntil([&] { return result.has_value(); }));
    sender.join();
    EXPECT_EQ(*result, 42);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST_F(WindowsTest, CopyDataCrossesProcessesByValue)
{
    auto listener = startReady(tolvanctl(), {"listen", "Tolvan站长管理工具"});

    // cbData 10 with "abc" and a NUL: the receiver reads "abc" and all ten bytes.
    auto sent = testsupport::runProgram(tolvanctl(), {"send-copydata", "Tolvan站长管理工具", "abc", "--cbdata", "10"});
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(sent.out, "{\"result\":0}\n");
    auto line = listener->readLine();
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, R"({"msg":74,"wParam":0,"lParam":0,"dwData":0,"cbData":10,"text":"abc","hex":"61626300000000000000"})");

    // From this process, with wParam and dwData, and an empty text.
    WindowHandle window = findWindow("Tolvan站长管理工具");
    std::string text = "http://127.0.0.1/任务";
    COPYDATASTRUCT copy{7, std::uint32_t(text.size()), text.data()};
    EXPECT_EQ(sendMessage(window, WM_COPYDATA, 3, reinterpret_cast<LPARAM>(&copy)), 0);
    line = listener->readLine();
    ASSERT_TRUE(line);
    EXPECT_NE(line->find("\"wParam\":3"), std::string::npos) << *line;
    EXPECT_NE(line->find("\"dwData\":7"), std::string::npos) << *line;
    EXPECT_NE(line->find("\"text\":\"http://127.0.0.1/任务\""), std::string::npos) << *line;

    COPYDATASTRUCT empty{0, 0, nullptr};
    EXPECT_EQ(sendMessage(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty)), 0);
    line = listener->readLine();
    ASSERT_TRUE(line);
    EXPECT_NE(line->find("\"cbData\":0,\"text\":\"\""), std::string::npos) << *line;
}

TEST_F(WindowsTest, SendReturnsTheReceiversResult)
{
    auto owner = startReady(helper(), {"answer", "answering", "-12345"});
    EXPECT_EQ(sendMessage(findWindow("answering"), WM_USER, 0, 0), -12345);
    auto viaTool = testsupport::runProgram(tolvanctl(), {"close", "answering", "--wparam", "0"});
    EXPECT_EQ(viaTool.out, "{\"result\":-12345}\n");
}

TEST_F(WindowsTest, ProgramsThatSendToEachOtherDoNotDeadlock)
{
    // This thread waits in a send to the relay, which sends back to our
    // window before it answers: our window must run during our wait.
    int handledHere = 0;
    auto own = Window::create("back here", [&](UINT, WPARAM, LPARAM) -> LRESULT {
        ++handledHere;
        return 40;
    });
    auto relay = startReady(helper(), {"relay", "relay", "back here"});
    EXPECT_EQ(sendMessage(findWindow("relay"), WM_USER, 0, 0), 41);
    EXPECT_EQ(handledHere, 1);
}

TEST_F(WindowsTest, KilledOwnersWindowsDisappear)
{
    auto owner = startReady(helper(), {"answer", "short-lived", "1"});
    WindowHandle window = findWindow("short-lived");
    ASSERT_TRUE(window);
    owner->kill();
    owner->waitForExit();

    EXPECT_FALSE(findWindow("short-lived"));
    EXPECT_FALSE(isWindow(window));
    EXPECT_FALSE(sendMessage(window, WM_USER, 0, 0)) << "a vanished owner fails the send at once";
    EXPECT_FALSE(postMessage(window, WM_USER, 0, 0));
    auto tool = testsupport::runProgram(tolvanctl(), {"send-copydata", "short-lived", "x"});
    EXPECT_EQ(tool.exitCode, 1);
}

TEST_F(WindowsTest, HungOwnerFailsTheSendAfterTheTimeout)
{
    auto owner = startReady(helper(), {"hang", "hung"});
    WindowHandle window = findWindow("hung");
    EXPECT_FALSE(sendMessage(window, WM_USER, 0, 0, 300));
    // Its process still lives and still takes posts (its listener is not hung).
    EXPECT_TRUE(isWindow(window));
    EXPECT_TRUE(postMessage(window, WM_USER, 0, 0));
}

TEST_F(WindowsTest, ShowRequestsReachTheOwnersWidget)
{
    auto owner = startReady(helper(), {"widget", "widget window"});
    WindowHandle window = findWindow("widget window");
    ASSERT_TRUE(testsupport::waitUntil([&] { return isWindowVisible(window); }));

    EXPECT_TRUE(showWindow(window, SW_HIDE)) << "it was visible before";
    EXPECT_FALSE(isWindowVisible(window));
    EXPECT_FALSE(showWindow(window, SW_SHOWMAXIMIZED));
    EXPECT_TRUE(isWindowVisible(window));
    showWindow(window, SW_MINIMIZE);
    EXPECT_TRUE(isIconic(window));
    switchToThisWindow(window, true);
    EXPECT_FALSE(isIconic(window));
    EXPECT_EQ(foregroundWindow(), window);

    auto listed = testsupport::runProgram(tolvanctl(), {"windows"});
    EXPECT_NE(listed.out.find("\"title\":\"widget window\",\"pid\":" + std::to_string(owner->pid()) +
                              ",\"visible\":true,\"minimized\":false"),
              std::string::npos)
        << listed.out;
}

TEST_F(WindowsTest, MessageBoxButtonsCanBePressedFromAnotherProcess)
{
    struct Case {
        QString buttons;
        const char* press;
        const char* pressed;
    };
    for (const Case& c : {Case{"okcancel", "ok", "{\"pressed\":1}"}, Case{"okcancel", "cancel", "{\"pressed\":2}"},
                          Case{"ok", "ok", "{\"pressed\":1}"}}) {
        SCOPED_TRACE(c.buttons.toStdString() + " " + c.press);
        RunningProgram box(helper(), {"box", "提示", c.buttons});
        auto pressed = testsupport::runProgram(tolvanctl(), {"press", "提示", c.press, "--wait", "20000"});
        EXPECT_EQ(pressed.out, "{\"result\":1}\n") << pressed.err;
        EXPECT_TRUE(box.waitForLine(c.pressed));
        EXPECT_TRUE(box.waitForExit());
    }
    // A box without Cancel ignores it and stays up.
    RunningProgram box(helper(), {"box", "提示", "ok"});
    auto ignored = testsupport::runProgram(tolvanctl(), {"press", "提示", "cancel", "--wait", "20000"});
    EXPECT_EQ(ignored.out, "{\"result\":0}\n");
    EXPECT_FALSE(box.waitForExit(300));
}

TEST_F(WindowsTest, ListenerEndsOnCloseWithNonZeroWParamOnly)
{
    auto listener = startReady(tolvanctl(), {"listen", "closing"});
    EXPECT_EQ(testsupport::runProgram(tolvanctl(), {"close", "closing"}).out, "{\"result\":0}\n");
    EXPECT_EQ(listener->readLine(), R"({"msg":16,"wParam":0,"lParam":0})");
    EXPECT_FALSE(listener->waitForExit(300));

    EXPECT_EQ(testsupport::runProgram(tolvanctl(), {"close", "closing", "--wparam", "1", "--post"}).out,
              "{\"posted\":true}\n");
    EXPECT_EQ(listener->readLine(), R"({"msg":16,"wParam":1,"lParam":0})");
    EXPECT_TRUE(listener->waitForExit());
    EXPECT_EQ(listener->exitCode(), 0);
    EXPECT_FALSE(findWindow("closing"));
}
