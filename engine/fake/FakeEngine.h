#pragma once
// The fake engine: the engine interfaces in-process without Chromium, for
// unit tests of the client's handlers and dispatch rules. Link
// tolvan_engine_fake instead of tolvan_engine.
//
// It behaves like the real engine where the client can tell: CreateBrowser
// returns at once and the browser (with a plain widget as its window, a
// child of the given parent) is created from the Qt event loop, followed by
// OnAfterCreated; handlers are called on the calling thread; the file thread
// is real. Nothing is loaded or rendered: a test fires the engine's events
// itself through FakeBrowser and FakeEngine and looks at what the client
// did through the recorded operations. A QApplication must exist for
// browsers to have windows.

#include "engine/cef/Cef.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

namespace engine::fake {

class FakeBrowser;

// A frame of a fake browser; records the scripts it was asked to run.
class FakeFrame : public CefFrame {
public:
    FakeFrame(FakeBrowser* browser, std::int64_t identifier, bool isMain, CefString url);

    bool IsMain() override { return m_isMain; }
    std::int64_t GetIdentifier() override { return m_identifier; }
    CefString GetURL() override { return m_url; }
    CefRefPtr<CefBrowser> GetBrowser() override;
    void LoadURL(const CefString& url) override;
    void ExecuteJavaScript(const CefString& code, const CefString& scriptUrl,
                           int startLine) override;

    void setUrl(const CefString& url) { m_url = url; }
    void detach() { m_browser = nullptr; }

    // What the client asked of the frame, in order.
    std::vector<CefString> executedScripts;
    std::vector<CefString> loadedUrls;

private:
    FakeBrowser* m_browser;
    std::int64_t m_identifier;
    bool m_isMain;
    CefString m_url;

    IMPLEMENT_REFCOUNTING(FakeFrame);
};

// What happened to a download the test fired.
struct DownloadOutcome {
    bool handlerGiven = false;   // the client gave a download handler
    int piecesAccepted = 0;      // ReceivedData calls that returned true
    bool cancelledByHandler = false;
    bool completeCalled = false;
};

// What happened to a navigation to an address of a custom scheme.
enum class NavigationOutcome { NotHandled, Refused, Accepted };

class FakeBrowser : public CefBrowser {
public:
    FakeBrowser(CefRefPtr<CefClient> client, const CefBrowserSettings& settings,
                CefWindowHandle window, bool popup, CefString initialUrl);
    ~FakeBrowser() override;

    // ---- CefBrowser ----
    void CloseBrowser() override { Close(); }
    CefWindowHandle GetWindowHandle() override;
    bool IsPopup() override { return m_popup; }
    CefRefPtr<CefClient> GetClient() override { return m_client; }
    CefRefPtr<CefFrame> GetMainFrame() override { return m_mainFrame.get(); }
    void Reload() override { ++reloads; }
    void ReloadIgnoreCache() override { ++reloadsIgnoringCache; }
    void StopLoad() override { ++stops; }
    double GetZoomLevel() override { return zoomLevel; }
    void SetZoomLevel(double level) override
    {
        zoomLevel = level;
        ++zoomChanges;
    }
    void ShowDevTools() override { ++devToolsShown; }
    void CloseDevTools() override { ++devToolsClosed; }
    void SetFocus(bool enable) override { hasFocus = enable; }

    // ---- what the client did ----
    int reloads = 0;
    int reloadsIgnoringCache = 0;
    int stops = 0;
    double zoomLevel = 0;
    int zoomChanges = 0;
    int devToolsShown = 0;
    int devToolsClosed = 0;
    bool hasFocus = false;
    const CefBrowserSettings& settings() const { return m_settings; }
    const CefString& initialUrl() const { return m_initialUrl; }
    CefRefPtr<FakeFrame> mainFrame() const { return m_mainFrame; }
    bool isClosed() const { return m_closed; }

    // ---- events, fired into the client's handlers ----
    void FireLoadEnd(int httpStatusCode, CefRefPtr<CefFrame> frame = nullptr);
    // Returns the handler's answer; `errorText` receives the page it gave.
    bool FireLoadError(int errorCode, const CefString& failedUrl, CefString* errorText = nullptr,
                       CefRefPtr<CefFrame> frame = nullptr);
    void FireTitleChange(const CefString& title);
    bool FireConsoleMessage(const CefString& message, const CefString& source, int line);
    bool FireKeyEvent(cef_handler_keyevent_type_t type, int code, int modifiers, bool isSystemKey,
                      bool isAfterJavaScript);
    // True when the client cancelled the menu.
    bool FireContextMenu(const CefMenuInfo& menuInfo = {});
    // Offers a download: asks for a handler, hands it `pieces` in order, then
    // Complete (when `completes`) or only releases it (a cancelled or failed
    // download).
    DownloadOutcome FireDownload(const CefString& mimeType, const CefString& fileName,
                                 const std::vector<std::string>& pieces, bool completes = true,
                                 std::int64_t contentLength = -1);
    // A navigation of the main frame to `url`: asks the scheme factories as
    // the engine does. A navigation that is not refused changes the main
    // frame's address.
    NavigationOutcome Navigate(const CefString& url);
    // A new script context for the frame (the main frame when none is
    // given): OnContextCreated with a fresh global object.
    CefRefPtr<CefV8Context> CreateContext(CefRefPtr<CefFrame> frame = nullptr);
    // An iframe of the page.
    CefRefPtr<FakeFrame> AddSubFrame(const CefString& url);
    // window.open: a popup served by the same client, announced with
    // OnAfterCreated before this returns.
    CefRefPtr<FakeBrowser> OpenPopup(const CefString& url);
    // The window goes: OnBeforeClose, then the browser is closed.
    void Close();

private:
    CefRefPtr<CefClient> m_client;
    CefBrowserSettings m_settings;
    QPointer<QWidget> m_window;
    QMetaObject::Connection m_windowGone;
    bool m_popup;
    bool m_closed = false;
    CefString m_initialUrl;
    CefRefPtr<FakeFrame> m_mainFrame;
    std::vector<CefRefPtr<FakeFrame>> m_subFrames;

    IMPLEMENT_REFCOUNTING(FakeBrowser);
};

// The result of a native function call made as a page makes it.
struct CallResult {
    bool handled = false;
    CefRefPtr<CefV8Value> retval;  // null when the handler set none (the page gets undefined)
    CefString exception;
};

// Calls a native function (made by CreateFunction) with `receiver` as this.
CallResult CallFunction(CefRefPtr<CefV8Value> function, CefRefPtr<CefV8Value> receiver,
                        const CefV8ValueList& arguments);
// object.method(arguments), as `object.method(...)` in a page.
CallResult CallMethod(CefRefPtr<CefV8Value> object, const CefString& method,
                      const CefV8ValueList& arguments);
// The global property `objectName` of the context, then its method.
CallResult CallMethod(CefRefPtr<CefV8Context> context, const CefString& objectName,
                      const CefString& method, const CefV8ValueList& arguments);

struct RegisteredExtension {
    CefString name;
    CefString code;
    CefRefPtr<CefV8Handler> handler;
};

// The fake engine's global state.
class FakeEngine {
public:
    // The next CefInitialize answers this (true at first).
    static void setInitializeResult(bool result);
    static bool started();
    static int initializeCalls();
    static int shutdownCalls();
    // The settings of the last CefInitialize.
    static const CefSettings& settings();

    static const std::vector<RegisteredExtension>& extensions();
    // The factory registered for exactly this scheme and domain.
    static CefRefPtr<CefSchemeHandlerFactory> schemeFactory(const CefString& scheme,
                                                            const CefString& domain = {});

    // Open browsers, oldest first.
    static std::vector<CefRefPtr<FakeBrowser>> browsers();
    // The first open browser that is not a popup.
    static CefRefPtr<FakeBrowser> mainBrowser();

    // Back to the state before the first CefInitialize (open browsers are
    // closed first); unlike the real engine, the fake may start again.
    static void reset();
};

} // namespace engine::fake
