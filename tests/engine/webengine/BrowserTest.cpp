// Browsers: creation and closing, popups, operations and settings.
#include "EngineWorld.h"

#include <QApplication>
#include <QWebEngineView>

#include <cmath>

namespace enginetest {
namespace {

using testsupport::htmlPage;
using testsupport::HttpResponse;

TEST(Browsers, ChildBrowserLivesInItsParentAndClosesWithIt)
{
    // The shared browser was announced only after CreateBrowser returned
    // (startWorld checks that); it is a child of the host window.
    EXPECT_EQ(world().browser->GetWindowHandle()->parentWidget(), world().host.get());
    EXPECT_FALSE(world().browser->IsPopup());

    auto parent = std::make_unique<QWidget>();
    parent->resize(300, 200);
    CefRefPtr<RecordingClient> client = new RecordingClient();
    CefWindowInfo info;
    info.SetAsChild(parent.get(), {10, 20, 200, 100});
    ASSERT_TRUE(CefBrowser::CreateBrowser(info, client.get(), "about:blank", CefBrowserSettings()));
    EXPECT_TRUE(client->created.empty());
    ASSERT_TRUE(testsupport::waitUntil([&] { return !client->created.empty(); }, kPageTimeout));
    CefRefPtr<CefBrowser> browser = client->created[0];
    EXPECT_EQ(browser->GetWindowHandle()->parentWidget(), parent.get());
    EXPECT_EQ(browser->GetWindowHandle()->geometry(), QRect(10, 20, 200, 100));
    EXPECT_EQ(browser->GetClient().get(), static_cast<CefClient*>(client.get()));

    parent.reset();
    ASSERT_EQ(client->closed.size(), 1u);
    EXPECT_EQ(client->closed[0].get(), browser.get());
    EXPECT_EQ(browser->GetWindowHandle(), nullptr);
    browser->GetMainFrame()->LoadURL("about:blank");  // harmless now
    client->clearRecords();
}

TEST(Browsers, PopupsAreSeparateWindowsOfTheSameClient)
{
    HttpResponse opener;
    opener.body = htmlPage("<script>external.Report('opener', 'ready');</script>");
    HttpResponse popupPage;
    popupPage.body = htmlPage("<title>Popup</title><script>external.Report('popup', location.href);"
                              "</script>");
    world().server->route("/opener", opener);
    world().server->route("/popup", popupPage);
    ASSERT_TRUE(loadPage(world().server->url("/opener")));
    world().browser->GetMainFrame()->ExecuteJavaScript("window.open('/popup', 'p');", "", 0);
    EXPECT_EQ(waitForReport("popup"), world().server->url("/popup"));
    ASSERT_TRUE(testsupport::waitUntil([] { return !world().client->created.empty(); }, kPageTimeout));
    CefRefPtr<CefBrowser> popup = world().client->created[0];
    EXPECT_TRUE(popup->IsPopup());
    QWidget* window = popup->GetWindowHandle();
    ASSERT_TRUE(window);
    ASSERT_TRUE(window->parentWidget());
    EXPECT_TRUE(window->parentWidget()->isWindow());  // the popup's own top-level window
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return window->parentWidget() && window->parentWidget()->windowTitle() == "Popup";
    }));

    // The page closes its popup; the main browser stays.
    popup->GetMainFrame()->ExecuteJavaScript("window.close();", "", 0);
    ASSERT_TRUE(testsupport::waitUntil([] { return !world().client->closed.empty(); }, kPageTimeout));
    EXPECT_EQ(world().client->closed[0].get(), popup.get());
    EXPECT_FALSE(world().browser->GetWindowHandle() == nullptr);
}

TEST(Browsers, OperationsOnTheBrowser)
{
    HttpResponse counted;
    counted.body = htmlPage("<p>counted</p>");
    world().server->route("/counted", counted);
    const std::string url = world().server->url("/counted");
    ASSERT_TRUE(loadPage(url));
    const int requests = world().server->requestCount("/counted");

    // Zoom: the engine's level, each step a factor of 1.2.
    CefRefPtr<CefBrowser> browser = world().browser;
    browser->SetZoomLevel(1);
    EXPECT_NEAR(browser->GetZoomLevel(), 1.0, 1e-6);
    auto* view = browser->GetWindowHandle()->findChild<QWebEngineView*>();
    ASSERT_TRUE(view);
    EXPECT_NEAR(view->zoomFactor(), 1.2, 1e-6);
    browser->SetZoomLevel(-2);
    EXPECT_NEAR(view->zoomFactor(), 1 / 1.44, 1e-6);
    browser->SetZoomLevel(0);
    EXPECT_NEAR(view->zoomFactor(), 1.0, 1e-6);

    // A reload that bypasses the cache asks the server again.
    world().client->clearRecords();
    browser->ReloadIgnoreCache();
    ASSERT_TRUE(testsupport::waitUntil([] { return !world().client->loadEnds.empty(); }, kPageTimeout));
    EXPECT_EQ(world().server->requestCount("/counted"), requests + 1);

    browser->SetFocus(true);
    EXPECT_TRUE(testsupport::waitUntil([&] { return view->hasFocus() || view->focusProxy()->hasFocus(); }));

    // Developer tools open in a window of their own, once.
    browser->ShowDevTools();
    browser->ShowDevTools();
    int devToolsWindows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->windowTitle() == "Developer Tools")
            ++devToolsWindows;
    EXPECT_EQ(devToolsWindows, 1);
    browser->CloseDevTools();

}

TEST(Browsers, SettingsReachThePagesAndRequests)
{
    std::map<std::string, std::string> headers;
    world().server->route("/settings", [&headers](const testsupport::HttpRequest& request) {
        headers = request.headers;
        HttpResponse response;
        response.body = htmlPage("<textarea id=t></textarea><script>"
                                 "external.Report('resize', getComputedStyle(document.getElementById('t')).resize);"
                                 "external.Report('language', navigator.language);"
                                 "</script>");
        return response;
    });
    ASSERT_TRUE(loadPage(world().server->url("/settings")));
    EXPECT_EQ(waitForReport("resize"), "none");
    EXPECT_EQ(waitForReport("language"), "zh-CN");
    EXPECT_EQ(headers["accept-language"].rfind("zh-CN", 0), 0u);
    EXPECT_NE(headers["user-agent"].find("TolvanTest/4.4"), std::string::npos);
    EXPECT_EQ(headers["user-agent"].find("Chrome/"), std::string::npos);
}

} // namespace
} // namespace enginetest

namespace enginetest {
namespace {
TEST(Browsers, FirstAddressLoadsRightAfterCreation)
{
    HttpResponse start;
    start.body = htmlPage("<p>start</p>");
    world().server->route("/start", start);
    const std::string url = world().server->url("/start");
    for (int i = 0; i < 5; ++i) {
        auto parent = std::make_unique<QWidget>();
        parent->resize(300, 200);
        CefRefPtr<RecordingClient> client = new RecordingClient();
        client->onCreated = [url](CefRefPtr<CefBrowser> browser) { browser->GetMainFrame()->LoadURL(url); };
        CefWindowInfo info;
        info.SetAsChild(parent.get(), {0, 0, 300, 200});
        ASSERT_TRUE(CefBrowser::CreateBrowser(info, client.get(), "about:blank", CefBrowserSettings()));
        ASSERT_TRUE(testsupport::waitUntil([&] {
            for (const auto& end : client->loadEnds)
                if (end.url == url)
                    return true;
            return false;
        }, kPageTimeout)) << i;
        parent.reset();
        client->clearRecords();
    }
}
}
}
