// The main frame, the browser view and the host view over the fake engine:
// start address and pending loads, addresses from other programs before and
// after a click into the browser, the logout address, closing, layout.
#include "ClientHarness.h"

#include "shared/Messages.h"
#include "shared/SiteAddresses.h"

#include <QTest>

namespace {

std::vector<std::string> loadedUrls(const CefRefPtr<engine::fake::FakeBrowser>& browser)
{
    std::vector<std::string> urls;
    for (const CefString& url : browser->mainFrame()->loadedUrls)
        urls.push_back(url.ToString());
    return urls;
}

platform::LRESULT sendCopyData(framework::Wnd* window, const std::string& bytes, std::uint32_t cbData)
{
    platform::COPYDATASTRUCT data{0, cbData, bytes.data()};
    return window->SendMessage(platform::WM_COPYDATA, 0, reinterpret_cast<platform::LPARAM>(&data));
}

const std::string kHome = tolvan::siteAddress(tolvan::kHomePath);
const std::string kLogout = tolvan::siteAddress(tolvan::kLogoutPath);

} // namespace

using HostWindow = ClientHarness;

TEST_F(HostWindow, TheStartAddressWaitsForTheBrowserAndALaterAddressReplacesIt)
{
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(view->m_strUrl, kHome);
    EXPECT_EQ(FakeEngine::mainBrowser(), nullptr);  // created asynchronously
    host->Navigate("http://127.0.0.1:1/second");

    auto browser = waitForBrowser();
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->initialUrl().ToString(), "about:blank");
    EXPECT_EQ(loadedUrls(browser), std::vector<std::string>{"http://127.0.0.1:1/second"});
    EXPECT_TRUE(browser->hasFocus);
    EXPECT_EQ(browser->GetWindowHandle()->parentWidget(), host);
    EXPECT_EQ(browser->GetWindowHandle()->geometry(), host->rect());

    host->Navigate("http://127.0.0.1:1/third");
    EXPECT_EQ(loadedUrls(browser).back(), "http://127.0.0.1:1/third");

    // The browser keeps covering the window when it is resized.
    frame->resize(500, 400);
    ASSERT_TRUE(testsupport::waitUntil([&] { return host->size() == QSize(500, 400); }));
    EXPECT_EQ(browser->GetWindowHandle()->geometry(), host->rect());
}

TEST_F(HostWindow, OnlyTheExactLogoutAddressLogsOut)
{
    setClientState(tolvan::kClientStateUserInfoSent);
    host->Navigate(kLogout + "?x=1");
    EXPECT_EQ(clientState(), tolvan::kClientStateUserInfoSent);
    host->Navigate(kLogout);
    EXPECT_EQ(clientState(), tolvan::kClientStateLoggedOut);

    // chrome.ini names another logout address.
    writeChromeIni({}, "http://127.0.0.1:1/bye");
    setClientState(tolvan::kClientStateUserInfoSent);
    host->Navigate(kLogout);
    EXPECT_EQ(clientState(), tolvan::kClientStateUserInfoSent);
    host->Navigate("http://127.0.0.1:1/bye");
    EXPECT_EQ(clientState(), tolvan::kClientStateLoggedOut);
}

TEST_F(HostWindow, AnAddressFromAnotherProgramTakesTheActiveView)
{
    auto browser = waitForBrowser();
    ASSERT_TRUE(browser);
    setClientState(tolvan::kClientStateUserInfoSent);

    // Before a click into the browser: the browser view navigates, with the
    // logout test and without a log record. The text ends at its first NUL.
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(sendCopyData(frame, kLogout + std::string("\0garbage", 8), std::uint32_t(kLogout.size() + 8)), 0);
    EXPECT_EQ(view->m_strUrl, kLogout);
    EXPECT_EQ(loadedUrls(browser).back(), kLogout);
    EXPECT_EQ(clientState(), tolvan::kClientStateLoggedOut);
    EXPECT_EQ(consoleLog(), "");

    // After a click into the browser the host view is active: it loads the
    // address without the logout test and writes one record.
    QTest::mouseClick(browser->GetWindowHandle(), Qt::LeftButton);
    EXPECT_EQ(frame->GetActiveView(), host);
    setClientState(tolvan::kClientStateUserInfoSent);
    sendCopyData(frame, kLogout, std::uint32_t(kLogout.size()));
    EXPECT_EQ(loadedUrls(browser).back(), kLogout);
    EXPECT_EQ(clientState(), tolvan::kClientStateUserInfoSent);
    const std::string log = consoleLog();
    EXPECT_TRUE(log.ends_with("M \r\n" + kLogout + "\r\n")) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
}

TEST_F(HostWindow, TheHostViewsOwnCopyDataTestsLogsAndLoadsButDropsAddressesBeforeTheBrowser)
{
    setClientState(tolvan::kClientStateUserInfoSent);
    sendCopyData(host, kLogout, std::uint32_t(kLogout.size()));
    EXPECT_EQ(clientState(), tolvan::kClientStateLoggedOut);
    EXPECT_NE(consoleLog().find(kLogout), std::string::npos);

    auto browser = waitForBrowser();
    ASSERT_TRUE(browser);
    // The start address was pending; the copy-data address was dropped.
    EXPECT_EQ(loadedUrls(browser), std::vector<std::string>{kHome});
    sendCopyData(host, "http://127.0.0.1:1/x", 20);
    EXPECT_EQ(loadedUrls(browser).back(), "http://127.0.0.1:1/x");
}

TEST_F(HostWindow, CloseWithZeroHidesAndOtherwiseDestroysTheFrame)
{
    ASSERT_TRUE(testsupport::waitUntil([&] { return frame->isVisible(); }));
    QPointer<CMainFrame> alive(frame);
    frame->SendMessage(platform::WM_CLOSE, tolvan::kCloseHidesWindow);
    EXPECT_FALSE(frame->isVisible());
    ASSERT_FALSE(alive.isNull());

    // The user's close button asks the same.
    frame->show();
    frame->close();
    EXPECT_FALSE(frame->isVisible());
    ASSERT_FALSE(alive.isNull());

    frame->SendMessage(platform::WM_CLOSE, tolvan::kCloseEndsClient);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}

TEST_F(HostWindow, PageTitlesReachTheBrowserViewButNeverTheFrame)
{
    auto browser = waitForBrowser();
    ASSERT_TRUE(browser);
    frame->SetWindowText("Tolvan站长管理工具");
    std::string announced;
    view->SetMessageHandler(tolvan::UM_TITLE_CHANGED, [&](platform::WPARAM wParam, platform::LPARAM) {
        announced = reinterpret_cast<const char*>(wParam);
        return platform::LRESULT(0);
    });

    browser->FireTitleChange(CefString("待处理任务"));
    EXPECT_EQ(announced, "待处理任务");
    EXPECT_EQ(view->GetWindowText(), "待处理任务");
    EXPECT_EQ(frame->GetWindowText(), "Tolvan站长管理工具");
    EXPECT_TRUE(platform::findWindow("Tolvan站长管理工具"));

    // A popup's window has no parent to take its title.
    auto popup = browser->OpenPopup(CefString("http://127.0.0.1:1/p"));
    announced.clear();
    popup->FireTitleChange(CefString("弹出"));
    EXPECT_EQ(announced, "");
}
