#pragma once
// The client object and the handler interfaces the engine calls.
//
// Every handler method is called on the engine's user-interface thread, which
// is the Qt GUI thread (see CefTask.h): a handler can use the application's
// windows directly. Handlers are called from the event loop, never from
// inside a call the application made into the engine, except where a method
// says otherwise. A getter that returns no handler gives the engine's default
// behaviour for its events.

#include "engine/cef/CefBase.h"
#include "engine/cef/CefTypes.h"

#include <cstdint>

class CefBrowser;
class CefDownloadHandler;
class CefFrame;
class CefV8Context;

class CefLifeSpanHandler : public virtual CefBase {
public:
    // A browser exists now: the one CreateBrowser asked for, or a popup the
    // engine opened for window.open (a top-level window served by the
    // opener's client). Always after the creating call has returned.
    virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) {}
    // The browser's window is going away (its parent widget was destroyed,
    // a popup's window was closed, or CloseBrowser). No further events for
    // this browser follow. A page's window.close() closes a popup; in a
    // child browser it asks the application's top-level window to close
    // (QWidget::close), which decides.
    virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) {}
};

class CefLoadHandler : public virtual CefBase {
public:
    // A frame finished loading.
    //
    // Main frame: the document's HTTP status (200, 404, 500, ...); 200 for a
    // page an application scheme handler served; 0 for documents that came
    // without one (about:blank, data:) and for the page the client supplied
    // in OnLoadError.
    // Iframes (Qt WebEngine reports no status for them): 200 when the
    // frame's document finished loading and is not Chromium's error page;
    // nothing is reported for an iframe whose load failed. So a 404 or 500
    // page in an iframe reports 200.
    virtual void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                           int httpStatusCode)
    {
    }

    // The main frame's load failed (no answer: connection refused, name not
    // resolved, ...). Return true and set `errorText` to an HTML page to show
    // that page instead of Chromium's error page; the address stays the
    // failed one. Loads the user or a new navigation stopped are not errors.
    // Iframe failures are not reported.
    virtual bool OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                             int errorCode, const CefString& failedUrl, CefString& errorText)
    {
        return false;
    }
};

class CefRequestHandler : public virtual CefBase {
public:
    // A response is a file to download. Set `handler` to receive the file's
    // bytes and return true; with no handler (or false) the download is
    // cancelled and nothing is stored. `contentLength` is -1 when the server
    // did not say.
    virtual bool GetDownloadHandler(CefRefPtr<CefBrowser> browser, const CefString& mimeType,
                                    const CefString& fileName, std::int64_t contentLength,
                                    CefRefPtr<CefDownloadHandler>& handler)
    {
        return false;
    }
};

class CefDisplayHandler : public virtual CefBase {
public:
    virtual void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) {}
    // A page wrote to its script console. Return true when handled; false
    // lets the engine print it (to the application's debug output).
    virtual bool OnConsoleMessage(CefRefPtr<CefBrowser> browser, const CefString& message,
                                  const CefString& source, int line)
    {
        return false;
    }
};

class CefKeyboardHandler : public virtual CefBase {
public:
    // A key event of the browser's page.
    //
    // `type` is KEYEVENT_RAWKEYDOWN for a press (also auto-repeated ones) and
    // KEYEVENT_KEYUP for a release. `code` is the Windows virtual-key code
    // (letters 0x41-0x5A, digits 0x30-0x39, F1-F12 0x70-0x7B, Esc 0x1B, ...).
    // `modifiers` holds KEY_* bits; KEY_NUMLOCK while Num Lock is on, as far
    // as the window system tells it (X11 does; the offscreen platform and
    // Wayland do not, so KEY_NUMLOCK is never set there).
    //
    // A press or release comes first with isAfterJavaScript false, before
    // the page sees it (returning true then keeps it from the page), and
    // again with isAfterJavaScript true after the page's scripts have seen
    // it, unless the page consumed it: cancelled it (preventDefault) or used
    // it itself, as a character typed into a text field. Function keys,
    // Escape and shortcuts with Ctrl the page does not cancel come twice.
    virtual bool OnKeyEvent(CefRefPtr<CefBrowser> browser, cef_handler_keyevent_type_t type,
                            int code, int modifiers, bool isSystemKey, bool isAfterJavaScript)
    {
        return false;
    }
};

// What a context menu would be opened on.
struct CefMenuInfo {
    int x = 0;  // in the browser window's coordinates
    int y = 0;
    CefString linkUrl;
    CefString imageUrl;
    CefString selectionText;
    bool isEditable = false;
};

class CefMenuHandler : public virtual CefBase {
public:
    // The page's context menu is about to open. Return true to cancel it;
    // false shows the engine's own menu.
    virtual bool OnBeforeMenu(CefRefPtr<CefBrowser> browser, const CefMenuInfo& menuInfo)
    {
        return false;
    }
};

class CefV8ContextHandler : public virtual CefBase {
public:
    // A new script context exists for a frame's new document. Called
    // synchronously while the document is being created, before any of the
    // page's own scripts run (the page waits for the call): what the handler
    // sets on context->GetGlobal() is in the page's global scope from its
    // first script on. Registered extensions run right after this call.
    virtual void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                  CefRefPtr<CefV8Context> context)
    {
    }
};

// The object the application gives the engine for a browser (and the popups
// it opens). Each getter returns the handler for its kind of event, or none.
class CefClient : public virtual CefBase {
public:
    virtual CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() { return nullptr; }
    virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
    virtual CefRefPtr<CefRequestHandler> GetRequestHandler() { return nullptr; }
    virtual CefRefPtr<CefDisplayHandler> GetDisplayHandler() { return nullptr; }
    virtual CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() { return nullptr; }
    virtual CefRefPtr<CefMenuHandler> GetMenuHandler() { return nullptr; }
    virtual CefRefPtr<CefV8ContextHandler> GetV8ContextHandler() { return nullptr; }
};
