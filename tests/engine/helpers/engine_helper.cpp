// A program that starts the real engine the way the client does, for tests
// that need a process of their own.
//
//   engine_helper startup [switches...]
//       engine::startEngine with the process's command line, and once more
//       when that failed; prints "started=<0|1> messages=<n> extras=<n>".
//   engine_helper cookies <cache folder> <address>
//       Starts the engine with that cache folder, loads the address in a
//       browser, waits for its load end, shuts the engine down; prints
//       "loaded <status>".
#include "engine/cef/Cef.h"
#include "engine/startup/EngineStartup.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

class LoadWaiter : public CefClient, public CefLifeSpanHandler, public CefLoadHandler {
public:
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override
    {
        browser->GetMainFrame()->LoadURL(address);
    }
    void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, int status) override
    {
        if (frame->IsMain())
            loadStatus = status;
    }

    std::string address;
    int loadStatus = -1;

private:
    IMPLEMENT_REFCOUNTING(LoadWaiter);
};

int startup(int argc, char** argv)
{
    int messages = 0;
    int extras = 0;
    bool started = false;
    for (int attempt = 0; attempt < 2 && !started; ++attempt)
        started = engine::startEngine(
            argc, argv, [&] { ++extras; }, [&](const std::string&) { ++messages; });
    std::printf("started=%d messages=%d extras=%d\n", started, messages, extras);
    engine::shutdownEngine();
    return 0;
}

int cookies(const char* cacheFolder, const char* address)
{
    CefSettings settings;
    settings.cache_path = cacheFolder;
    if (!CefInitialize(settings, nullptr))
        return 2;
    CefRefPtr<LoadWaiter> client = new LoadWaiter();
    client->address = address;
    CefBrowser::CreateBrowser(CefWindowInfo(), client.get(), "about:blank", CefBrowserSettings());
    QElapsedTimer timer;
    timer.start();
    while (client->loadStatus < 0 && timer.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    CefShutdown();
    std::printf("loaded %d\n", client->loadStatus);
    return client->loadStatus < 0 ? 3 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "startup") == 0)
        return startup(argc, argv);
    if (argc >= 4 && std::strcmp(argv[1], "cookies") == 0)
        return cookies(argv[2], argv[3]);
    std::fprintf(stderr, "usage: engine_helper startup | cookies <cache folder> <address>\n");
    return 1;
}
