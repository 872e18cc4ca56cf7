#include "EngineWorld.h"

#include <QApplication>
#include <QWebEngineView>

#include <cstring>

namespace enginetest {

namespace {

// Refuses every request and remembers its address, as the client's handler
// for the chat program's scheme does.
class RefusingHandler : public CefSchemeHandler {
public:
    bool ProcessRequest(CefRefPtr<CefRequest> request, CefRefPtr<CefSchemeHandlerCallback>) override
    {
        world().tencentRequests.push_back(utf8(request->GetURL()));
        return false;
    }
    void GetResponseHeaders(CefRefPtr<CefResponse>, std::int64_t&, CefString&) override {}
    bool ReadResponse(void*, int, int&, CefRefPtr<CefSchemeHandlerCallback>) override { return false; }
    void Cancel() override {}

private:
    IMPLEMENT_REFCOUNTING(RefusingHandler);
};

// Serves a small page for every request.
class ServingHandler : public CefSchemeHandler {
public:
    bool ProcessRequest(CefRefPtr<CefRequest> request,
                        CefRefPtr<CefSchemeHandlerCallback> callback) override
    {
        m_body = testsupport::htmlPage("<p id=served>served " + utf8(request->GetURL()) + "</p>");
        callback->HeadersAvailable();
        return true;
    }
    void GetResponseHeaders(CefRefPtr<CefResponse> response, std::int64_t& length,
                            CefString&) override
    {
        response->SetMimeType("text/html");
        length = std::int64_t(m_body.size());
    }
    bool ReadResponse(void* data, int bytesToRead, int& bytesRead,
                      CefRefPtr<CefSchemeHandlerCallback>) override
    {
        bytesRead = int(std::min<std::size_t>(std::size_t(bytesToRead), m_body.size() - m_offset));
        std::memcpy(data, m_body.data() + m_offset, std::size_t(bytesRead));
        m_offset += std::size_t(bytesRead);
        return bytesRead > 0;
    }
    void Cancel() override {}

private:
    std::string m_body;
    std::size_t m_offset = 0;
    IMPLEMENT_REFCOUNTING(ServingHandler);
};

template <class Handler>
class Factory : public CefSchemeHandlerFactory {
public:
    CefRefPtr<CefSchemeHandler> Create(CefRefPtr<CefBrowser>, const CefString&,
                                       CefRefPtr<CefRequest>) override
    {
        return new Handler();
    }

private:
    IMPLEMENT_REFCOUNTING(Factory);
};

// Defines dojopr, as the client's extension does, and reports that it ran.
const char* const kExtensionCode =
    "function dojopr() { external.Report('dojopr', location.href); }\n"
    "external.Report('extension', location.href);\n";

} // namespace

std::string describe(const CefRefPtr<CefV8Value>& value)
{
    if (!value || value->IsUndefined())
        return "undefined";
    if (value->IsString())
        return utf8(value->GetStringValue());
    if (value->IsNull())
        return "null";
    if (value->IsBool())
        return value->GetBoolValue() ? "true" : "false";
    if (value->IsInt())
        return std::to_string(value->GetIntValue());
    if (value->IsDouble())
        return std::to_string(value->GetDoubleValue());
    return "object";
}

EngineWorld& world()
{
    static EngineWorld instance;
    return instance;
}

bool startWorld()
{
    EngineWorld& w = world();
    w.cacheFolder = std::make_unique<testsupport::TempFolder>("tolvan-engine");
    CefSettings settings;
    settings.cache_path = w.cacheFolder->path() + "/WebKitCache";
    settings.locale = "zh-CN";
    settings.log_severity = LOGSEVERITY_DISABLE;
    settings.product_version = "TolvanTest/4.4";
    if (!CefInitialize(settings, nullptr))
        return false;
    CefRegisterExtension("v8/test", kExtensionCode, nullptr);
    CefRegisterSchemeHandlerFactory("tencent", "", new Factory<RefusingHandler>());
    CefRegisterSchemeHandlerFactory("tolvantest", "", new Factory<ServingHandler>());

    w.server = std::make_unique<testsupport::HttpServer>();
    w.host = std::make_unique<QWidget>();
    w.host->resize(800, 600);
    w.host->show();
    w.client = new RecordingClient();
    w.client->defineRecorder("Report");

    CefWindowInfo info;
    info.SetAsChild(w.host.get(), {0, 0, 800, 600});
    CefBrowserSettings browserSettings;
    browserSettings.minimum_font_size = 1;
    browserSettings.minimum_logical_font_size = 1;
    browserSettings.text_area_resize_disabled = true;
    if (!CefBrowser::CreateBrowser(info, w.client.get(), "about:blank", browserSettings))
        return false;
    if (!w.client->created.empty())
        return false;  // must be announced after the call returned
    if (!testsupport::waitUntil([&] { return !w.client->created.empty(); }, kPageTimeout))
        return false;
    w.browser = w.client->created.front();
    return true;
}

void stopWorld()
{
    EngineWorld& w = world();
    w.browser = nullptr;
    CefShutdown();
    w.client = nullptr;
    w.host.reset();
    w.server.reset();
    w.cacheFolder.reset();
}

bool loadPage(const std::string& url)
{
    EngineWorld& w = world();
    w.client->clearRecords();
    w.browser->GetMainFrame()->LoadURL(url);
    const bool loaded = testsupport::waitUntil(
        [&] {
            for (const auto& end : w.client->loadEnds)
                if (end.isMain && end.url == url)
                    return true;
            return !w.client->loadErrors.empty();
        },
        kPageTimeout);
    if (!loaded) {
        std::fprintf(stderr, "no load end for %s; main frame at %s; requests %d; recorded:\n", url.c_str(),
                     utf8(w.browser->GetMainFrame()->GetURL()).c_str(), w.server->requestCount(url.substr(url.rfind('/'))));
        for (const auto& end : w.client->loadEnds)
            std::fprintf(stderr, "  load end %s %d main=%d\n", end.url.c_str(), end.status, end.isMain);
        for (const auto& context : w.client->contexts)
            std::fprintf(stderr, "  context %s\n", context.url.c_str());
        for (const auto& call : w.client->calls)
            std::fprintf(stderr, "  call %s %s\n", call.name.c_str(), call.arguments.empty() ? "" : describe(call.arguments[0]).c_str());
    }
    return loaded;
}

std::optional<std::string> waitForReport(const std::string& label, std::chrono::milliseconds timeout)
{
    std::optional<std::string> found;
    testsupport::waitUntil(
        [&] {
            for (const auto& call : world().client->callsOf("Report")) {
                if (!call.arguments.empty() && describe(call.arguments[0]) == label) {
                    found = call.arguments.size() > 1 ? describe(call.arguments[1]) : "";
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

std::vector<std::string> reportsOf(const std::string& label)
{
    std::vector<std::string> found;
    for (const auto& call : world().client->callsOf("Report"))
        if (!call.arguments.empty() && describe(call.arguments[0]) == label)
            found.push_back(call.arguments.size() > 1 ? describe(call.arguments[1]) : "");
    return found;
}

QWidget* inputWidget(CefRefPtr<CefBrowser> browser)
{
    auto* view = browser->GetWindowHandle()->findChild<QWebEngineView*>();
    return view ? view->focusProxy() : nullptr;
}

} // namespace enginetest

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    if (!enginetest::startWorld()) {
        std::fprintf(stderr, "the engine or its first browser did not start\n");
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    enginetest::stopWorld();
    return result;
}
