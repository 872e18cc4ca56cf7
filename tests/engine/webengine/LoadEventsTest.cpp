// Loads of the main frame: HTTP status, failed loads and the client's error
// page, title and console messages.
#include "EngineWorld.h"

#include <QTcpServer>

namespace enginetest {
namespace {

using testsupport::htmlPage;
using testsupport::HttpResponse;

TEST(LoadEvents, MainFrameReportsTheHttpStatus)
{
    for (int status : {200, 404, 500}) {
        SCOPED_TRACE(status);
        HttpResponse response;
        response.status = status;
        response.body = htmlPage("<h1>status " + std::to_string(status) + "</h1>");
        const std::string path = "/status/" + std::to_string(status);
        world().server->route(path, response);
        ASSERT_TRUE(loadPage(world().server->url(path)));
        ASSERT_EQ(world().client->loadEnds.size(), 1u);
        EXPECT_EQ(world().client->loadEnds[0].status, status);
        EXPECT_TRUE(world().client->loadErrors.empty());
    }
}

TEST(LoadEvents, RefusedConnectionShowsTheClientsErrorPage)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    const std::string url = "http://127.0.0.1:" + std::to_string(closedPort) + "/";
    world().client->errorPage = "<html><body><h1>Load Failed</h1><p id=t>own page</p></body></html>";
    ASSERT_TRUE(loadPage(url));
    world().client->errorPage.clear();
    ASSERT_EQ(world().client->loadErrors.size(), 1u);
    EXPECT_EQ(world().client->loadErrors[0].code, ERR_CONNECTION_REFUSED);
    EXPECT_EQ(world().client->loadErrors[0].url, url);

    // The client's page is shown under the failed address, and its load end
    // is no HTTP answer.
    ASSERT_TRUE(testsupport::waitUntil([] { return !world().client->loadEnds.empty(); }, kPageTimeout));
    EXPECT_EQ(world().client->loadEnds[0].status, 0);
    EXPECT_EQ(utf8(world().browser->GetMainFrame()->GetURL()), url);
    world().browser->GetMainFrame()->ExecuteJavaScript(
        "external.Report('error-page', document.getElementById('t').textContent)", "", 0);
    EXPECT_EQ(waitForReport("error-page"), "own page");
}

} // namespace
} // namespace enginetest

namespace enginetest {
namespace {

TEST(LoadEvents, TitleAndConsoleMessagesReachTheClient)
{
    testsupport::HttpResponse response;
    response.body = "<!doctype html><html><head><title>First title</title></head><body>\n"
                    "<script>\n"
                    "console.log('hello console');\n"
                    "document.title = '\xE7\xAB\x99\xE9\x95\xBF';\n"
                    "</script></body></html>";
    world().server->route("/titled", response);
    const std::string url = world().server->url("/titled");
    ASSERT_TRUE(loadPage(url));
    ASSERT_TRUE(testsupport::waitUntil([] { return world().client->titles.size() >= 2; }, kPageTimeout));
    EXPECT_EQ(world().client->titles.back(), "\xE7\xAB\x99\xE9\x95\xBF");
    bool found = false;
    for (const auto& message : world().client->console) {
        if (message.message == "hello console") {
            found = true;
            EXPECT_EQ(message.source, url);
            EXPECT_EQ(message.line, 3);
        }
    }
    EXPECT_TRUE(found);
}

// Navigations to an application scheme ask its factory; a refusing handler
// keeps the page where it is.
TEST(LoadEvents, RefusedSchemeNavigationKeepsThePage)
{
    testsupport::HttpResponse response;
    response.body = testsupport::htmlPage(
        "<a id=chat href=\"tencent://message/?uin=12345&Site=x\">chat</a>"
        "<script>external.Report('loaded', location.href);</script>");
    world().server->route("/chat", response);
    const std::string url = world().server->url("/chat");
    ASSERT_TRUE(loadPage(url));
    ASSERT_TRUE(waitForReport("loaded"));
    world().tencentRequests.clear();
    world().client->clearRecords();

    world().browser->GetMainFrame()->ExecuteJavaScript(
        "document.getElementById('chat').click();"
        "setTimeout(function () { external.Report('after-click', location.href); }, 500);",
        "", 0);
    EXPECT_EQ(waitForReport("after-click"), url);
    EXPECT_EQ(world().tencentRequests,
              std::vector<std::string>{"tencent://message/?uin=12345&Site=x"});
    // Again: every click asks again; the native load is refused the same way.
    world().browser->GetMainFrame()->LoadURL("tencent://message/?uin=2");
    ASSERT_TRUE(testsupport::waitUntil([] { return world().tencentRequests.size() == 2; }, kPageTimeout));
    EXPECT_EQ(world().tencentRequests[1], "tencent://message/?uin=2");
    world().browser->GetMainFrame()->ExecuteJavaScript(
        "external.Report('still', location.href)", "", 0);
    EXPECT_EQ(waitForReport("still"), url);
    EXPECT_TRUE(world().client->loadEnds.empty());
    EXPECT_TRUE(world().client->contexts.empty());
    EXPECT_TRUE(world().client->loadErrors.empty());
}

TEST(LoadEvents, AcceptingSchemeHandlerServesThePage)
{
    const std::string url = "tolvantest://pages/one";
    world().client->clearRecords();
    world().browser->GetMainFrame()->LoadURL(url);
    ASSERT_TRUE(testsupport::waitUntil([&] { return !world().client->loadEnds.empty(); }, kPageTimeout));
    EXPECT_EQ(world().client->loadEnds[0].url, url);
    EXPECT_EQ(world().client->loadEnds[0].status, 200);
    world().browser->GetMainFrame()->ExecuteJavaScript(
        "external.Report('served', document.getElementById('served').textContent)", "", 0);
    EXPECT_EQ(waitForReport("served"), "served " + url);
}

} // namespace
} // namespace enginetest

namespace enginetest {
namespace {

TEST(LoadEvents, LoadThatReplacesAnotherReportsItsOwnEnd)
{
    testsupport::HttpResponse slow;
    slow.body = testsupport::htmlPage("<p>" + std::string(20000, 's') + "</p>");
    slow.pieceSize = 1000;
    slow.pieceDelayMs = 100;
    testsupport::HttpResponse fast;
    fast.body = testsupport::htmlPage("<p>fast</p>");
    world().server->route("/slow", slow);
    world().server->route("/fast", fast);
    world().client->clearRecords();
    world().browser->GetMainFrame()->LoadURL(world().server->url("/slow"));
    ASSERT_TRUE(testsupport::waitUntil([] { return world().server->requestCount("/slow") > 0; }, kPageTimeout));
    ASSERT_TRUE(loadPage(world().server->url("/fast")));
    EXPECT_EQ(world().client->loadEnds.back().status, 200);
}

} // namespace
} // namespace enginetest
