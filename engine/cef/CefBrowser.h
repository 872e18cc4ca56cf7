#pragma once
// Browsers and their frames.
//
// All methods are called on the engine's user-interface thread (the Qt GUI
// thread). A browser whose window has been destroyed stays a valid object for
// those who hold it; its operations then do nothing.

#include "engine/cef/CefBase.h"
#include "engine/cef/CefTypes.h"

class CefClient;
class CefFrame;

class CefBrowser : public virtual CefBase {
public:
    // Asks for a new browser with the given window, client, first address
    // and settings. Returns at once: the browser is created afterwards, from
    // the event loop, and reported to the client's life-span handler
    // (OnAfterCreated); when the parent widget is gone by then, nothing is
    // created. False when the engine is not started, no client is given or
    // the call is not made on the engine's user-interface thread.
    //
    // The browser's window is destroyed with its parent widget. Do not
    // destroy the parent inside one of the browser's own handler calls (the
    // page is still using it); CloseBrowser, or deleteLater, is safe.
    static bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                              const CefString& url, const CefBrowserSettings& settings);

    // Closes the browser: its window is destroyed and OnBeforeClose follows.
    virtual void CloseBrowser() = 0;

    virtual CefWindowHandle GetWindowHandle() = 0;
    // True for a browser the engine opened for a page (window.open).
    virtual bool IsPopup() = 0;
    virtual CefRefPtr<CefClient> GetClient() = 0;

    virtual CefRefPtr<CefFrame> GetMainFrame() = 0;

    virtual void Reload() = 0;
    virtual void ReloadIgnoreCache() = 0;
    virtual void StopLoad() = 0;

    // Zoom level: 0 is 100 %, each step up or down is a factor of 1.2. Qt
    // WebEngine holds the factor between 25 % and 500 % (about -7.6 to 8.8).
    virtual double GetZoomLevel() = 0;
    virtual void SetZoomLevel(double zoomLevel) = 0;

    // Developer tools in a top-level window of their own; a second call
    // brings that window forward.
    virtual void ShowDevTools() = 0;
    virtual void CloseDevTools() = 0;

    // Gives the browser's page the keyboard focus (or takes it away).
    virtual void SetFocus(bool enable) = 0;
};

// A frame of a browser's page: the main frame or an iframe.
//
// Qt WebEngine knows no frames below the main one, so the layer identifies an
// iframe by its place in the frame tree (the index among its parent's frames,
// at every level). A frame keeps its identity across its own navigations;
// when iframes are removed from a page, later siblings may take over the
// place of removed ones.
class CefFrame : public virtual CefBase {
public:
    virtual bool IsMain() = 0;
    // Stable per browser; the main frame's is 0.
    virtual std::int64_t GetIdentifier() = 0;
    // The address of the frame's current document.
    virtual CefString GetURL() = 0;
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;

    virtual void LoadURL(const CefString& url) = 0;

    // Runs `code` in the frame's page (the page's own script world), after
    // the call returns. A script that fails reports to the console. `scriptUrl`
    // names the code in error messages; `startLine` is ignored. In an iframe
    // the code runs through the page's script evaluation, which a strict
    // Content-Security-Policy of that iframe forbids.
    virtual void ExecuteJavaScript(const CefString& code, const CefString& scriptUrl,
                                   int startLine) = 0;
};
