#include "client/browser/CefBrowHandl.h"

#include "client/browser/ConsoleLog.h"
#include "client/browser/EngineText.h"
#include "client/browser/ErrorPage.h"
#include "client/script/CefJSHandl.h"
#include "client/script/PageFunctions.h"
#include "client/window/ChromView.h"
#include "engine/cef/CefV8.h"
#include "shared/Messages.h"

#include <QWidget>

CCefBrowHandl::CCefBrowHandl(CChromView* hostView, platform::WindowHandle hostWindow)
    : hostWindow(hostWindow), hostView(hostView)
{
}

CCefBrowHandl::~CCefBrowHandl() = default;

// ---- operations -------------------------------------------------------------

bool CCefBrowHandl::LoadURL(const CefString& url)
{
    if (!mainBrowser)
        return false;
    if (CefRefPtr<CefFrame> frame = mainBrowser->GetMainFrame())
        frame->LoadURL(url);
    return true;
}

bool CCefBrowHandl::StopLoad()
{
    if (mainBrowser)
        mainBrowser->StopLoad();
    return true;
}

void CCefBrowHandl::ReloadIgnoreCache()
{
    if (mainBrowser)
        mainBrowser->ReloadIgnoreCache();
}

void CCefBrowHandl::SetPendingLoad(const CefString& url)
{
    pendingLoad.kind = 0;
    pendingLoad.url = url;
}

void CCefBrowHandl::SetScriptObjects(const std::vector<FunctionObject>& objects) { functionObjects = objects; }

void CCefBrowHandl::WriteConsoleLog(const CefString& text)
{
    if (consoleLogOn)
        AppendConsoleLogRecord(CefToAnsi(text));
}

void CCefBrowHandl::DetachHostView()
{
    hostView = nullptr;
    hostWindow = {};
    if (scriptHandler)
        scriptHandler->DetachHostView();
}

bool CCefBrowHandl::IsMainBrowser(const CefRefPtr<CefBrowser>& browser) const
{
    if (!mainBrowser || !browser)
        return false;
    if (mainBrowser.get() == browser.get())
        return true;
    QWidget* window = browser->GetWindowHandle();
    return window && window == mainBrowser->GetWindowHandle();
}

platform::WindowHandle CCefBrowHandl::BrowserViewWindow() const
{
    framework::Wnd* browserView = hostView ? hostView->GetParent() : nullptr;
    return browserView ? browserView->GetSafeHwnd() : platform::WindowHandle{};
}

// ---- life span --------------------------------------------------------------

void CCefBrowHandl::OnAfterCreated(CefRefPtr<CefBrowser> browser)
{
    std::lock_guard guard(lock);
    lastBrowser = browser;
    if (!browser->IsPopup()) {
        // The host view lays the browser out now that it exists.
        platform::postMessage(hostWindow, platform::WM_SIZE, 0, 0);
        mainBrowser = browser;
        if (pendingLoad.kind == 0 && !pendingLoad.url.empty()) {
            if (CefRefPtr<CefFrame> frame = browser->GetMainFrame())
                frame->LoadURL(pendingLoad.url);
        }
    }
    browser->SetFocus(true);
}

void CCefBrowHandl::OnBeforeClose(CefRefPtr<CefBrowser> browser)
{
    if (IsMainBrowser(browser)) {
        mainBrowser = nullptr;
        lastBrowser = nullptr;
    }
}

// ---- loads ------------------------------------------------------------------

void CCefBrowHandl::OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode)
{
    // A zoom the user chose lasts until the next page has loaded.
    if (IsMainBrowser(browser) && browser->GetZoomLevel() != double(zoomLevel))
        browser->SetZoomLevel(zoomLevel);

    if (httpStatusCode != 200 || !frame)
        return;
    frame->ExecuteJavaScript(CefString("dojopr();"), CefString(), 0);
    ApplyLoginStateRule(hostView, CefToAnsi(frame->GetURL()));
}

bool CCefBrowHandl::OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, int errorCode,
                                const CefString& failedUrl, CefString& errorText)
{
    errorText = AnsiToCef(LoadErrorPage(CefToAnsi(failedUrl), errorCode));
    return true;
}

// ---- display ----------------------------------------------------------------

void CCefBrowHandl::OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title)
{
    QWidget* window = browser->GetWindowHandle();
    QWidget* titleWidget = window ? window->parentWidget() : nullptr;
    if (titleWidget && !browser->IsPopup())
        titleWidget = titleWidget->parentWidget();
    framework::Wnd* titleWindow = framework::Wnd::FromWidget(titleWidget);
    if (!titleWindow)
        return;
    const std::string ansiTitle = CefToAnsi(title);
    titleWindow->SetWindowText(ansiTitle);
    titleWindow->SendMessage(platform::WM_NCPAINT, 0, 0);
    titleWindow->SendMessage(tolvan::UM_TITLE_CHANGED, reinterpret_cast<platform::WPARAM>(ansiTitle.c_str()), 0);
}

bool CCefBrowHandl::OnConsoleMessage(CefRefPtr<CefBrowser>, const CefString& message, const CefString& source,
                                     int line)
{
    std::u16string text = source.ToString16();
    text += u"\r\nLine:";
    text += CefString(std::to_string(line)).ToString16();
    text += u"\r\nMsg:";
    text += message.ToString16();
    text += u"\r\n";
    WriteConsoleLog(CefString(text));
    return true;
}

// ---- keys and menus ---------------------------------------------------------

bool CCefBrowHandl::OnKeyEvent(CefRefPtr<CefBrowser> browser, cef_handler_keyevent_type_t type, int code,
                               int modifiers, bool, bool isAfterJavaScript)
{
    if (browser->IsPopup() || type != KEYEVENT_RAWKEYDOWN || !hostView || !hostWindow || !isAfterJavaScript)
        return false;
    const bool shortcut = modifiers == kShortcutModifiers;
    switch (code) {
    case VK_J:
        if (shortcut) {
            if (mainBrowser)
                mainBrowser->ShowDevTools();
            platform::postMessage(hostWindow, platform::WM_KEYDOWN, VK_J, 0);
        }
        break;
    case VK_F5:
        if (shortcut) {
            ReloadIgnoreCache();
            platform::postMessage(hostWindow, platform::WM_KEYDOWN, VK_F5, 0);
        }
        platform::postMessage(BrowserViewWindow(), platform::WM_KEYDOWN, VK_F5, 0);
        break;
    default:
        if (code == VK_ESCAPE || (code >= VK_F1 && code <= VK_F12))
            platform::postMessage(BrowserViewWindow(), platform::WM_KEYDOWN, platform::WPARAM(code), 0);
        break;
    }
    return false;
}

bool CCefBrowHandl::OnBeforeMenu(CefRefPtr<CefBrowser>, const CefMenuInfo&) { return true; }

// ---- script contexts --------------------------------------------------------

void CCefBrowHandl::OnContextCreated(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefV8Context> context)
{
    CefRefPtr<CefV8Value> global = context->GetGlobal();
    if (!global)
        return;
    CefRefPtr<CefV8Value> object = CefV8Value::CreateObject();
    if (!scriptHandler)
        scriptHandler = new CCefJSHandl(hostWindow, hostView);

    auto addFunction = [&](const CefString& name) {
        object->SetValue(name, CefV8Value::CreateFunction(name, scriptHandler.get()), V8_PROPERTY_ATTRIBUTE_READONLY);
    };
    for (const FunctionObject& entry : functionObjects) {
        global->SetValue(entry.objectName, object, V8_PROPERTY_ATTRIBUTE_READONLY);
        for (const CefString& name : entry.functionNames)
            addFunction(name);
    }
    global->SetValue(CefString("external"), object, V8_PROPERTY_ATTRIBUTE_READONLY);
    addFunction(CefString("CreateCOMObj"));
    addFunction(CefString("GetExcelObj"));
}
