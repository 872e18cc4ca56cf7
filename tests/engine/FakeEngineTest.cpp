// The fake engine does what the client's tests rely on: asynchronous browser
// creation in a parent widget, events fired into the handlers, and script
// calls made as a page makes them.
#include "engine/fake/FakeEngine.h"

#include "TestSupport.h"
#include "support/RecordingClient.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace {

using engine::fake::FakeBrowser;
using engine::fake::FakeEngine;
using enginetest::RecordingClient;

class FakeEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeEngine::reset();
        ASSERT_TRUE(CefInitialize(CefSettings(), nullptr));
        m_parent.resize(400, 300);
    }
    void TearDown() override { FakeEngine::reset(); }

    CefRefPtr<FakeBrowser> createBrowser()
    {
        CefWindowInfo info;
        info.SetAsChild(&m_parent, {0, 0, 400, 300});
        EXPECT_TRUE(CefBrowser::CreateBrowser(info, m_client.get(), "about:blank", CefBrowserSettings()));
        EXPECT_TRUE(m_client->created.empty());  // announced after the call returns
        EXPECT_TRUE(testsupport::waitUntil([&] { return !m_client->created.empty(); }));
        return FakeEngine::mainBrowser();
    }

    int m_argc = 1;
    char m_name[16] = "engine_tests";
    char* m_argv[1] = {m_name};
    QApplication m_app{m_argc, m_argv};
    QWidget m_parent;
    CefRefPtr<RecordingClient> m_client = new RecordingClient();
};

TEST_F(FakeEngineTest, BrowserIsCreatedInItsParentAndClosesWithIt)
{
    CefRefPtr<FakeBrowser> browser = createBrowser();
    ASSERT_TRUE(browser);
    EXPECT_EQ(m_client->created[0].get(), static_cast<CefBrowser*>(browser.get()));
    EXPECT_EQ(browser->GetWindowHandle()->parentWidget(), &m_parent);
    EXPECT_EQ(browser->initialUrl().ToString(), "about:blank");

    browser->GetMainFrame()->LoadURL("http://site/a");
    browser->SetZoomLevel(0);
    browser->ShowDevTools();
    EXPECT_EQ(browser->mainFrame()->loadedUrls, std::vector<CefString>{"http://site/a"});
    EXPECT_EQ(browser->zoomChanges, 1);
    EXPECT_EQ(browser->devToolsShown, 1);

    CefRefPtr<FakeBrowser> popup = browser->OpenPopup("http://site/popup");
    EXPECT_TRUE(popup->IsPopup());
    EXPECT_EQ(m_client->created.size(), 2u);
    popup->Close();
    EXPECT_EQ(m_client->closed.size(), 1u);

    delete browser->GetWindowHandle();  // as when the host view goes
    EXPECT_EQ(m_client->closed.size(), 2u);
    EXPECT_TRUE(browser->isClosed());
    EXPECT_TRUE(FakeEngine::browsers().empty());
}

TEST_F(FakeEngineTest, EventsReachTheHandlers)
{
    CefRefPtr<FakeBrowser> browser = createBrowser();
    browser->FireLoadEnd(404);
    m_client->errorPage = "<html>own</html>";
    CefString errorText;
    EXPECT_TRUE(browser->FireLoadError(ERR_CONNECTION_REFUSED, "http://x/", &errorText));
    EXPECT_EQ(errorText.ToString(), "<html>own</html>");
    browser->FireTitleChange("T");
    EXPECT_TRUE(browser->FireConsoleMessage("m", "http://x/", 7));
    EXPECT_FALSE(browser->FireKeyEvent(KEYEVENT_RAWKEYDOWN, 0x4A, 1027, false, true));
    EXPECT_TRUE(browser->FireContextMenu());
    ASSERT_EQ(m_client->loadEnds.size(), 1u);
    EXPECT_EQ(m_client->loadEnds[0].status, 404);
    EXPECT_EQ(m_client->loadErrors[0].code, ERR_CONNECTION_REFUSED);
    EXPECT_EQ(m_client->titles, std::vector<std::string>{"T"});
    EXPECT_EQ(m_client->console[0].line, 7);
    EXPECT_EQ(m_client->keys[0].modifiers, 1027);
    EXPECT_EQ(m_client->menus.size(), 1u);
}

TEST_F(FakeEngineTest, DownloadsGoToTheHandlerInOrder)
{
    CefRefPtr<FakeBrowser> browser = createBrowser();
    auto record = std::make_shared<enginetest::RecordingDownload::Record>();
    m_client->downloads = [record](const std::string&) {
        return new enginetest::RecordingDownload(record, 4);
    };
    auto outcome = browser->FireDownload("application/octet-stream", "a.xls", {"ab", "cd", "ef"});
    EXPECT_TRUE(outcome.handlerGiven);
    EXPECT_TRUE(outcome.cancelledByHandler);  // it wants no more than 4 bytes
    EXPECT_EQ(outcome.piecesAccepted, 1);
    EXPECT_EQ(record->bytes, "abcd");
    EXPECT_FALSE(record->completed);
    EXPECT_TRUE(record->released);

    m_client->downloads = nullptr;
    outcome = browser->FireDownload("text/plain", "b.txt", {"x"});
    EXPECT_FALSE(outcome.handlerGiven);
    EXPECT_EQ(m_client->downloadNames, (std::vector<std::string>{"a.xls", "b.txt"}));
}

class Refuser : public CefSchemeHandlerFactory, public CefSchemeHandler {
public:
    CefRefPtr<CefSchemeHandler> Create(CefRefPtr<CefBrowser>, const CefString&,
                                       CefRefPtr<CefRequest> request) override
    {
        urls.push_back(request->GetURL().ToString());
        return this;
    }
    bool ProcessRequest(CefRefPtr<CefRequest>, CefRefPtr<CefSchemeHandlerCallback>) override { return false; }
    void GetResponseHeaders(CefRefPtr<CefResponse>, std::int64_t&, CefString&) override {}
    bool ReadResponse(void*, int, int&, CefRefPtr<CefSchemeHandlerCallback>) override { return false; }
    void Cancel() override {}
    std::vector<std::string> urls;

private:
    IMPLEMENT_REFCOUNTING(Refuser);
};

TEST_F(FakeEngineTest, SchemeNavigationsAskTheFactory)
{
    CefRefPtr<Refuser> refuser = new Refuser();
    ASSERT_TRUE(CefRegisterSchemeHandlerFactory("tencent", "", refuser.get()));
    CefRefPtr<FakeBrowser> browser = createBrowser();
    using engine::fake::NavigationOutcome;
    EXPECT_EQ(browser->Navigate("http://site/page"), NavigationOutcome::NotHandled);
    EXPECT_EQ(browser->Navigate("TENCENT://message/?uin=1"), NavigationOutcome::Refused);
    EXPECT_EQ(refuser->urls, std::vector<std::string>{"TENCENT://message/?uin=1"});
    EXPECT_EQ(browser->GetMainFrame()->GetURL().ToString(), "http://site/page");
}

TEST_F(FakeEngineTest, ScriptCallsReachNativeFunctions)
{
    m_client->defineFunction("PlaySound", [](const enginetest::NativeCall& call, CefString&) {
        return CefV8Value::CreateInt(call.arguments.at(0)->GetIntValue() + 1);
    });
    CefRefPtr<FakeBrowser> browser = createBrowser();
    CefRefPtr<CefV8Context> context = browser->CreateContext(browser->AddSubFrame("http://site/f").get());
    ASSERT_EQ(m_client->contexts.size(), 1u);
    EXPECT_FALSE(m_client->contexts[0].isMain);
    auto result = engine::fake::CallMethod(context, "external", "PlaySound", {CefV8Value::CreateInt(2)});
    EXPECT_TRUE(result.handled);
    EXPECT_EQ(result.retval->GetIntValue(), 3);
    ASSERT_EQ(m_client->calls.size(), 1u);
    EXPECT_TRUE(m_client->calls[0].receiver->IsSame(context->GetGlobal()->GetValue("external")));
    result = engine::fake::CallMethod(context, "external", "Missing", {});
    EXPECT_FALSE(result.handled);
}

} // namespace
