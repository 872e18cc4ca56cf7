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
