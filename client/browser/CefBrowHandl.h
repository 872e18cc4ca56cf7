#pragma once
// The one client object the client gives the browser engine: it serves the
// main browser and every popup the pages open. Engine callbacks arrive on the
// engine's user-interface thread, which here is the window thread; the handler
// still reaches the client's windows only through window messages:
//
//   WM_SIZE           posted to the host view once the main browser exists
//   WM_NCPAINT,       sent to the title window (the browser view for the main
//   UM_TITLE_CHANGED  browser) after its text became the page's title;
//                     UM_TITLE_CHANGED's wParam = the ANSI title
//   WM_KEYDOWN        posted with Esc, F1-F12 to the browser view, and with J
//                     and F5 to the host view after their Ctrl+Shift shortcuts
//
// After every page load with status 200 the frame runs "dojopr();" (the
// client's script extension) and the login-state rule applies. Failed loads
// show the client's own error page, the zoom is held at 0, there is no
// context menu, and console messages go to ConsoleMsg.log while the log is
// switched on.

#include "engine/cef/CefBrowser.h"
#include "engine/cef/CefClient.h"
#include "platform/Windows.h"

#include <mutex>
#include <vector>

class CChromView;
class CCefJSHandl;

// A script object every new script context gets, with its native functions.
struct FunctionObject {
    CefString objectName;
    std::vector<CefString> functionNames;
};

class CCefBrowHandl : public CefClient,
                      public CefLifeSpanHandler,
                      public CefLoadHandler,
                      public CefRequestHandler,
                      public CefDisplayHandler,
                      public CefKeyboardHandler,
                      public CefMenuHandler,
                      public CefV8ContextHandler {
public:
    CCefBrowHandl(CChromView* hostView, platform::WindowHandle hostWindow);
    ~CCefBrowHandl() override;

    // ---- CefClient ----
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
    CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
    CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() override { return this; }
    CefRefPtr<CefMenuHandler> GetMenuHandler() override { return this; }
    CefRefPtr<CefV8ContextHandler> GetV8ContextHandler() override { return this; }

    // ---- operations for the host view (on the main browser; nothing while
    // there is none) ----
    CefRefPtr<CefBrowser> GetBrowser() const { return mainBrowser; }
    // False when there is no main browser yet.
    bool LoadURL(const CefString& url);
    bool StopLoad();
    void ReloadIgnoreCache();
    // Loaded as soon as the main browser exists.
    void SetPendingLoad(const CefString& url);
    void SetScriptObjects(const std::vector<FunctionObject>& objects);
    // Appends to ConsoleMsg.log while consoleLogOn is set.
    void WriteConsoleLog(const CefString& text);
    // The host view is going away: later events leave it alone.
    void DetachHostView();

    // ---- engine callbacks ----
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;
    void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode) override;
    bool OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int errorCode,
                     const CefString& failedUrl, CefString& errorText) override;
    void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) override;
    bool OnConsoleMessage(CefRefPtr<CefBrowser> browser, const CefString& message, const CefString& source,
                          int line) override;
    bool OnKeyEvent(CefRefPtr<CefBrowser> browser, cef_handler_keyevent_type_t type, int code, int modifiers,
                    bool isSystemKey, bool isAfterJavaScript) override;
    bool OnBeforeMenu(CefRefPtr<CefBrowser> browser, const CefMenuInfo& menuInfo) override;
    void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                          CefRefPtr<CefV8Context> context) override;

    // Switched on only while the host view writes a navigation record.
    bool consoleLogOn = false;

private:
    struct PendingLoad {
        int kind = -1;  // -1 none, 0 an address
        CefString url;
    };

    bool IsMainBrowser(const CefRefPtr<CefBrowser>& browser) const;
    // The browser view: the host view's parent.
    platform::WindowHandle BrowserViewWindow() const;

    CefRefPtr<CefBrowser> mainBrowser;
    std::vector<FunctionObject> functionObjects;
    CefRefPtr<CCefJSHandl> scriptHandler;
    float zoomLevel = 0.0f;
    platform::WindowHandle hostWindow;
    PendingLoad pendingLoad;
    CChromView* hostView;
    CefRefPtr<CefBrowser> lastBrowser;
    std::mutex lock;

    IMPLEMENT_REFCOUNTING(CCefBrowHandl);
};

// Key codes and the modifier set of the two shortcuts (Ctrl+Shift with Num
// Lock on: the engine adds 1024 while Num Lock is on).
inline constexpr int kShortcutModifiers = 1027;
inline constexpr int VK_ESCAPE = 0x1B;
inline constexpr int VK_J = 0x4A;
inline constexpr int VK_F1 = 0x70;
inline constexpr int VK_F4 = 0x73;
inline constexpr int VK_F5 = 0x74;
inline constexpr int VK_F6 = 0x75;
inline constexpr int VK_F12 = 0x7B;
