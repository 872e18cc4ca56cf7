// The client handler over the fake engine: what happens after loads, failed
// loads, keys, menus, console messages, popups and `tencent` addresses.
#include "ClientHarness.h"

#include "client/browser/SchemeHandler.h"
#include "shared/Messages.h"

#include <filesystem>

class BrowserHandler : public ClientHarness {
protected:
    void SetUp() override
    {
        browser = waitForBrowser();
        ASSERT_TRUE(browser);
        const std::pair<framework::Wnd*, std::vector<int>*> windows[] = {{view, &viewKeys}, {host, &hostKeys}};
        for (auto [window, keys] : windows) {
            window->SetMessageHandler(platform::WM_KEYDOWN, [keys](platform::WPARAM code, platform::LPARAM) {
                keys->push_back(int(code));
                return platform::LRESULT(0);
            });
        }
    }

    // Fires a raw key press the page has let through and collects what the
    // two windows got posted.
    void pressKey(int code, int modifiers, CefRefPtr<FakeBrowser> target = nullptr)
    {
        viewKeys.clear();
        hostKeys.clear();
        EXPECT_FALSE((target ? target : browser)->FireKeyEvent(KEYEVENT_RAWKEYDOWN, code, modifiers, false, true));
        QCoreApplication::processEvents();
    }

    std::vector<std::string> scripts(CefRefPtr<engine::fake::FakeFrame> frame = nullptr)
    {
        std::vector<std::string> result;
        for (const CefString& code : (frame ? frame : browser->mainFrame())->executedScripts)
            result.push_back(code.ToString());
        return result;
    }

    CefRefPtr<FakeBrowser> browser;
    std::vector<int> viewKeys;
    std::vector<int> hostKeys;
};

TEST_F(BrowserHandler, EveryFrameThatLoadsWithStatus200RunsDojoprAndOthersDoNot)
{
    browser->FireLoadEnd(404);
    browser->FireLoadEnd(500);
    browser->FireLoadEnd(0);
    EXPECT_TRUE(scripts().empty());

    browser->FireLoadEnd(200);
    EXPECT_EQ(scripts(), std::vector<std::string>{"dojopr();"});

    auto frame = browser->AddSubFrame(CefString("http://127.0.0.1:1/inner"));
    browser->FireLoadEnd(200, frame.get());
    EXPECT_EQ(scripts(frame), std::vector<std::string>{"dojopr();"});

    auto popup = browser->OpenPopup(CefString("http://127.0.0.1:1/p"));
    popup->FireLoadEnd(200);
    EXPECT_EQ(scripts(popup->mainFrame()), std::vector<std::string>{"dojopr();"});
}

TEST_F(BrowserHandler, TheLoginPageAfterALoginMovesTheStateFrom1To3)
{
    writeChromeIni("http://127.0.0.1:1/login");
    struct Case {
        int before;
        const char* url;
        int status;
        int after;
    };
    const Case cases[] = {
        {1, "http://127.0.0.1:1/login?service=x", 200, 3},
        {1, "http://127.0.0.1:1/home", 200, 1},
        {1, "http://127.0.0.1:1/login", 404, 1},
        {2, "http://127.0.0.1:1/login", 200, 2},
        {0, "http://127.0.0.1:1/login", 200, 0},
    };
    for (const Case& c : cases) {
        setClientState(c.before);
        browser->mainFrame()->setUrl(CefString(c.url));
        browser->FireLoadEnd(c.status);
        EXPECT_EQ(clientState(), c.after) << c.url << " " << c.status;
    }

    // Without a loginUrl every page counts as the login page.
    writeChromeIni("");
    setClientState(1);
    browser->mainFrame()->setUrl(CefString("http://127.0.0.1:1/anything"));
    browser->FireLoadEnd(200);
    EXPECT_EQ(clientState(), 3);
}

TEST_F(BrowserHandler, TheMainBrowsersZoomReturnsToNormalAfterEveryLoad)
{
    browser->zoomLevel = 2.0;
    browser->FireLoadEnd(404);
    EXPECT_EQ(browser->zoomLevel, 0.0);

    auto popup = browser->OpenPopup(CefString("http://127.0.0.1:1/p"));
    popup->zoomLevel = 1.5;
    popup->FireLoadEnd(200);
    EXPECT_EQ(popup->zoomLevel, 1.5);
}

TEST_F(BrowserHandler, AFailedLoadShowsTheClientsErrorPage)
{
    CefString page;
    EXPECT_TRUE(browser->FireLoadError(-105, CefString("http://nowhere.invalid/"), &page));
    EXPECT_EQ(page.ToString(),
              "<html><head><title>Load Failed</title></head><body><h1>Load Failed</h1><h2>Load of URL "
              "http://nowhere.invalid/failed with error code -105.</h2></body></html>");
}

TEST_F(BrowserHandler, KeysFollowTheShortcutAndForwardingRules)
{
    pressKey(VK_J, kShortcutModifiers);
    EXPECT_EQ(browser->devToolsShown, 1);
    EXPECT_EQ(hostKeys, std::vector<int>{VK_J});
    EXPECT_TRUE(viewKeys.empty());

    // Ctrl+Shift without Num Lock, or with Alt too: nothing.
    for (int modifiers : {KEY_SHIFT | KEY_CTRL, kShortcutModifiers | KEY_ALT}) {
        pressKey(VK_J, modifiers);
        pressKey(VK_F5, modifiers);
    }
    EXPECT_EQ(browser->devToolsShown, 1);
    EXPECT_EQ(browser->reloadsIgnoringCache, 0);

    pressKey(VK_F5, 0);
    EXPECT_EQ(browser->reloadsIgnoringCache, 0);
    EXPECT_EQ(viewKeys, std::vector<int>{VK_F5});
    EXPECT_TRUE(hostKeys.empty());

    pressKey(VK_F5, kShortcutModifiers);
    EXPECT_EQ(browser->reloadsIgnoringCache, 1);
    EXPECT_EQ(hostKeys, std::vector<int>{VK_F5});
    EXPECT_EQ(viewKeys, std::vector<int>{VK_F5});

    for (int code : {VK_ESCAPE, VK_F1, VK_F4, VK_F6, VK_F12}) {
        pressKey(code, 0);
        EXPECT_EQ(viewKeys, std::vector<int>{code}) << code;
        EXPECT_TRUE(hostKeys.empty());
    }
    for (int code : {0x41, 0x0D, 0x7C}) {  // A, Enter, F13
        pressKey(code, 0);
        EXPECT_TRUE(viewKeys.empty()) << code;
    }

    // Only raw key presses the page has seen, and never a popup's.
    viewKeys.clear();
    browser->FireKeyEvent(KEYEVENT_KEYUP, VK_F12, 0, false, true);
    browser->FireKeyEvent(KEYEVENT_RAWKEYDOWN, VK_F12, 0, false, false);
    pressKey(VK_F12, 0, browser->OpenPopup(CefString("http://127.0.0.1:1/p")));
    EXPECT_TRUE(viewKeys.empty());
}

TEST_F(BrowserHandler, ThereIsNoContextMenu)
{
    EXPECT_TRUE(browser->FireContextMenu());
}

TEST_F(BrowserHandler, ConsoleMessagesAreLoggedOnlyWhileTheLogIsOn)
{
    EXPECT_TRUE(browser->FireConsoleMessage(CefString("boom"), CefString("http://127.0.0.1:1/a.js"), 7));
    EXPECT_FALSE(std::filesystem::exists(folder.file("ConsoleMsg.log")));

    host->GetHandler()->consoleLogOn = true;
    browser->FireConsoleMessage(CefString("出错"), CefString("http://127.0.0.1:1/a.js"), 7);
    host->GetHandler()->consoleLogOn = false;
    const std::string log = consoleLog();
    EXPECT_TRUE(log.ends_with("M \r\nhttp://127.0.0.1:1/a.js\r\nLine:7\r\nMsg:出错\r\n\r\n")) << log;
}

TEST_F(BrowserHandler, ClosingAPopupKeepsTheMainBrowserAndClosingTheMainBrowserForgetsIt)
{
    auto popup = browser->OpenPopup(CefString("http://127.0.0.1:1/p"));
    popup->Close();
    EXPECT_TRUE(host->GetHandler()->LoadURL(CefString("http://127.0.0.1:1/a")));
    browser->Close();
    EXPECT_FALSE(host->GetHandler()->LoadURL(CefString("http://127.0.0.1:1/b")));
    EXPECT_EQ(host->GetHandler()->GetBrowser(), nullptr);
}

TEST_F(BrowserHandler, TencentAddressesAreRefusedAndHandedToTheHostView)
{
    RegisterSchemeHandlers();
    std::vector<std::string> opened;
    host->SetMessageHandler(tolvan::UM_SHELL_OPEN, [&](platform::WPARAM wParam, platform::LPARAM) {
        std::unique_ptr<std::string> address(reinterpret_cast<std::string*>(wParam));
        opened.push_back(*address);
        return platform::LRESULT(0);
    });
    browser->mainFrame()->setUrl(CefString("http://127.0.0.1:1/page"));
    const std::string chat = "tencent://message/?Menu=yes&uin=123";
    for (int click = 0; click < 2; ++click)
        EXPECT_EQ(browser->Navigate(CefString(chat)), engine::fake::NavigationOutcome::Refused);
    EXPECT_EQ(browser->Navigate(CefString("tencent:message")), engine::fake::NavigationOutcome::Refused);
    EXPECT_EQ(browser->Navigate(CefString("http://127.0.0.1:1/next")), engine::fake::NavigationOutcome::NotHandled);
    QCoreApplication::processEvents();
    EXPECT_EQ(opened, (std::vector<std::string>{chat, chat}));
}
