#include "engine/fake/FakeEngine.h"

#include "engine/core/Tasks.h"
#include "engine/core/V8ContextImpl.h"

#include <QApplication>
#include <QUrl>

#include <algorithm>

namespace engine::fake {

namespace {

struct SchemeEntry {
    CefString scheme;
    CefString domain;
    CefRefPtr<CefSchemeHandlerFactory> factory;
};

struct State {
    bool initializeResult = true;
    bool started = false;
    int initializeCalls = 0;
    int shutdownCalls = 0;
    CefSettings settings;
    std::vector<RegisteredExtension> extensions;
    std::vector<SchemeEntry> schemes;
    std::vector<CefRefPtr<FakeBrowser>> browsers;
    std::int64_t lastFrameId = 0;
};

State& state()
{
    static State instance;
    return instance;
}

CefString lower(const CefString& text) { return QString::fromStdU16String(text.ToString16()).toLower().toStdU16String(); }

class FakeRequest : public CefRequest {
public:
    explicit FakeRequest(CefString url) : m_url(std::move(url)) {}
    CefString GetURL() override { return m_url; }
    CefString GetMethod() override { return "GET"; }

private:
    CefString m_url;
    IMPLEMENT_REFCOUNTING(FakeRequest);
};

class FakeSchemeCallback : public CefSchemeHandlerCallback {
public:
    void HeadersAvailable() override {}
    void BytesAvailable() override {}
    void Cancel() override {}

private:
    IMPLEMENT_REFCOUNTING(FakeSchemeCallback);
};

QWidget* makeWindow(QWidget* parent, const CefRect& rect)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    auto* window = new QWidget(parent);
    if (parent) {
        window->setGeometry(rect.x, rect.y, rect.width, rect.height);
        window->show();
    }
    return window;
}

} // namespace

// ---- FakeFrame -------------------------------------------------------------

FakeFrame::FakeFrame(FakeBrowser* browser, std::int64_t identifier, bool isMain, CefString url)
    : m_browser(browser), m_identifier(identifier), m_isMain(isMain), m_url(std::move(url))
{
}

CefRefPtr<CefBrowser> FakeFrame::GetBrowser() { return m_browser; }

void FakeFrame::LoadURL(const CefString& url)
{
    loadedUrls.push_back(url);
    m_url = url;
}

void FakeFrame::ExecuteJavaScript(const CefString& code, const CefString&, int)
{
    executedScripts.push_back(code);
}

// ---- FakeBrowser -----------------------------------------------------------

FakeBrowser::FakeBrowser(CefRefPtr<CefClient> client, const CefBrowserSettings& settings,
                         CefWindowHandle window, bool popup, CefString initialUrl)
    : m_client(client),
      m_settings(settings),
      m_window(window),
      m_popup(popup),
      m_initialUrl(initialUrl),
      m_mainFrame(new FakeFrame(this, 0, true, initialUrl))
{
    // As with the real engine, the browser closes with its window.
    if (window)
        m_windowGone = QObject::connect(window, &QObject::destroyed, [this] {
            m_window = nullptr;
            Close();
        });
}

FakeBrowser::~FakeBrowser() { QObject::disconnect(m_windowGone); }

CefWindowHandle FakeBrowser::GetWindowHandle() { return m_window; }

void FakeBrowser::FireLoadEnd(int httpStatusCode, CefRefPtr<CefFrame> frame)
{
    if (CefRefPtr<CefLoadHandler> handler = m_client->GetLoadHandler())
        handler->OnLoadEnd(this, frame ? frame : GetMainFrame(), httpStatusCode);
}

bool FakeBrowser::FireLoadError(int errorCode, const CefString& failedUrl, CefString* errorText,
                                CefRefPtr<CefFrame> frame)
{
    CefRefPtr<CefLoadHandler> handler = m_client->GetLoadHandler();
    CefString text;
    const bool handled =
        handler && handler->OnLoadError(this, frame ? frame : GetMainFrame(), errorCode, failedUrl, text);
    if (errorText)
        *errorText = text;
    return handled;
}

void FakeBrowser::FireTitleChange(const CefString& title)
{
    if (CefRefPtr<CefDisplayHandler> handler = m_client->GetDisplayHandler())
        handler->OnTitleChange(this, title);
}

bool FakeBrowser::FireConsoleMessage(const CefString& message, const CefString& source, int line)
{
    CefRefPtr<CefDisplayHandler> handler = m_client->GetDisplayHandler();
    return handler && handler->OnConsoleMessage(this, message, source, line);
}

bool FakeBrowser::FireKeyEvent(cef_handler_keyevent_type_t type, int code, int modifiers,
                               bool isSystemKey, bool isAfterJavaScript)
{
    CefRefPtr<CefKeyboardHandler> handler = m_client->GetKeyboardHandler();
    return handler
           && handler->OnKeyEvent(this, type, code, modifiers, isSystemKey, isAfterJavaScript);
}

bool FakeBrowser::FireContextMenu(const CefMenuInfo& menuInfo)
{
    CefRefPtr<CefMenuHandler> handler = m_client->GetMenuHandler();
    return handler && handler->OnBeforeMenu(this, menuInfo);
}

DownloadOutcome FakeBrowser::FireDownload(const CefString& mimeType, const CefString& fileName,
                                          const std::vector<std::string>& pieces, bool completes,
                                          std::int64_t contentLength)
{
    DownloadOutcome outcome;
    CefRefPtr<CefDownloadHandler> handler;
    CefRefPtr<CefRequestHandler> requestHandler = m_client->GetRequestHandler();
    if (!requestHandler
        || !requestHandler->GetDownloadHandler(this, mimeType, fileName, contentLength, handler)
        || !handler)
        return outcome;
    outcome.handlerGiven = true;
    for (const std::string& piece : pieces) {
        if (!handler->ReceivedData(const_cast<char*>(piece.data()), int(piece.size()))) {
            outcome.cancelledByHandler = true;
            return outcome;
        }
        ++outcome.piecesAccepted;
    }
    if (completes) {
        handler->Complete();
        outcome.completeCalled = true;
    }
    return outcome;
}

NavigationOutcome FakeBrowser::Navigate(const CefString& url)
{
    const QUrl address(QString::fromStdU16String(url.ToString16()));
    const CefString scheme = address.scheme().toLower().toStdU16String();
    const CefString host = address.host().toLower().toStdU16String();
    CefRefPtr<CefSchemeHandlerFactory> factory;
    for (const SchemeEntry& entry : state().schemes) {
        if (entry.scheme != scheme)
            continue;
        if (!host.empty() && entry.domain == host) {
            factory = entry.factory;
            break;
        }
        if (entry.domain.empty())
            factory = entry.factory;
    }
    if (!factory) {
        m_mainFrame->setUrl(url);
        return NavigationOutcome::NotHandled;
    }
    CefRefPtr<CefRequest> request = new FakeRequest(url);
    CefRefPtr<CefSchemeHandler> handler = factory->Create(this, scheme, request);
    if (!handler || !handler->ProcessRequest(request, new FakeSchemeCallback()))
        return NavigationOutcome::Refused;
    m_mainFrame->setUrl(url);
    return NavigationOutcome::Accepted;
}

CefRefPtr<CefV8Context> FakeBrowser::CreateContext(CefRefPtr<CefFrame> frame)
{
    CefRefPtr<CefV8Context> context = new V8ContextImpl(this, frame ? frame : GetMainFrame());
    if (CefRefPtr<CefV8ContextHandler> handler = m_client->GetV8ContextHandler())
        handler->OnContextCreated(this, context->GetFrame(), context);
    return context;
}

CefRefPtr<FakeFrame> FakeBrowser::AddSubFrame(const CefString& url)
{
    CefRefPtr<FakeFrame> frame = new FakeFrame(this, ++state().lastFrameId, false, url);
    m_subFrames.push_back(frame);
    return frame;
}

CefRefPtr<FakeBrowser> FakeBrowser::OpenPopup(const CefString& url)
{
    CefRefPtr<FakeBrowser> popup =
        new FakeBrowser(m_client, m_settings, makeWindow(nullptr, {}), true, url);
    state().browsers.push_back(popup);
    if (CefRefPtr<CefLifeSpanHandler> handler = m_client->GetLifeSpanHandler())
        handler->OnAfterCreated(popup.get());
    return popup;
}

void FakeBrowser::Close()
{
    if (m_closed)
        return;
    m_closed = true;
    CefRefPtr<FakeBrowser> self = this;
    if (CefRefPtr<CefLifeSpanHandler> handler = m_client->GetLifeSpanHandler())
        handler->OnBeforeClose(this);
    m_mainFrame->detach();
    for (auto& frame : m_subFrames)
        frame->detach();
    QObject::disconnect(m_windowGone);
    delete m_window.data();
    std::erase(state().browsers, self);
}

// ---- calls -----------------------------------------------------------------

CallResult CallFunction(CefRefPtr<CefV8Value> function, CefRefPtr<CefV8Value> receiver,
                        const CefV8ValueList& arguments)
{
    CallResult result;
    CefRefPtr<CefV8Handler> handler = function ? function->GetFunctionHandler() : nullptr;
    if (!handler)
        return result;
    result.handled = handler->Execute(function->GetFunctionName(),
                                      receiver ? receiver : CefV8Value::CreateUndefined(),
                                      arguments, result.retval, result.exception);
    return result;
}

CallResult CallMethod(CefRefPtr<CefV8Value> object, const CefString& method,
                      const CefV8ValueList& arguments)
{
    if (!object || !object->IsObject())
        return {};
    return CallFunction(object->GetValue(method), object, arguments);
}

CallResult CallMethod(CefRefPtr<CefV8Context> context, const CefString& objectName,
                      const CefString& method, const CefV8ValueList& arguments)
{
    if (!context)
        return {};
    return CallMethod(context->GetGlobal()->GetValue(objectName), method, arguments);
}

// ---- FakeEngine ------------------------------------------------------------

void FakeEngine::setInitializeResult(bool result) { state().initializeResult = result; }
bool FakeEngine::started() { return state().started; }
int FakeEngine::initializeCalls() { return state().initializeCalls; }
int FakeEngine::shutdownCalls() { return state().shutdownCalls; }
const CefSettings& FakeEngine::settings() { return state().settings; }
const std::vector<RegisteredExtension>& FakeEngine::extensions() { return state().extensions; }

CefRefPtr<CefSchemeHandlerFactory> FakeEngine::schemeFactory(const CefString& scheme,
                                                             const CefString& domain)
{
    for (const SchemeEntry& entry : state().schemes)
        if (entry.scheme == lower(scheme) && entry.domain == lower(domain))
            return entry.factory;
    return nullptr;
}

std::vector<CefRefPtr<FakeBrowser>> FakeEngine::browsers() { return state().browsers; }

CefRefPtr<FakeBrowser> FakeEngine::mainBrowser()
{
    for (const auto& browser : state().browsers)
        if (!browser->IsPopup())
            return browser;
    return nullptr;
}

void FakeEngine::reset()
{
    for (auto& browser : std::vector(state().browsers))
        browser->Close();
    if (state().started)
        engine::stopFileThread();
    state() = State();
}

} // namespace engine::fake

using namespace engine::fake;

bool CefInitialize(const CefSettings& settings, CefRefPtr<CefApp>)
{
    State& s = state();
    ++s.initializeCalls;
    if (s.started || !s.initializeResult)
        return false;
    s.started = true;
    s.settings = settings;
    engine::startFileThread();
    return true;
}

void CefShutdown()
{
    State& s = state();
    ++s.shutdownCalls;
    if (!s.started)
        return;
    for (auto& browser : std::vector(s.browsers))
        browser->Close();
    engine::stopFileThread();
    s.started = false;
}

bool CefRegisterExtension(const CefString& extensionName, const CefString& javascriptCode,
                          CefRefPtr<CefV8Handler> handler)
{
    State& s = state();
    if (!s.started || extensionName.empty())
        return false;
    for (const auto& extension : s.extensions)
        if (extension.name == extensionName)
            return false;
    s.extensions.push_back({extensionName, javascriptCode, handler});
    return true;
}

bool CefRegisterSchemeHandlerFactory(const CefString& schemeName, const CefString& domainName,
                                     CefRefPtr<CefSchemeHandlerFactory> factory)
{
    State& s = state();
    if (!s.started || schemeName.empty())
        return false;
    const CefString scheme = lower(schemeName);
    const CefString domain = lower(domainName);
    std::erase_if(s.schemes, [&](const SchemeEntry& entry) {
        return entry.scheme == scheme && entry.domain == domain;
    });
    if (factory)
        s.schemes.push_back({scheme, domain, factory});
    return true;
}

bool CefClearSchemeHandlerFactories()
{
    if (!state().started)
        return false;
    state().schemes.clear();
    return true;
}

bool CefBrowser::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                               const CefString& url, const CefBrowserSettings& settings)
{
    if (!state().started || !client || !CefCurrentlyOn(TID_UI))
        return false;
    const bool hasParent = windowInfo.m_ParentWindow != nullptr;
    QPointer<QWidget> parent = windowInfo.m_ParentWindow;
    const CefRect rect = windowInfo.m_Rect;
    return CefPostTask(TID_UI, NewCefRunnableFunction([=] {
        if (!state().started || (hasParent && !parent))
            return;
        CefRefPtr<FakeBrowser> browser =
            new FakeBrowser(client, settings, makeWindow(parent, rect), false, url);
        state().browsers.push_back(browser);
        if (CefRefPtr<CefLifeSpanHandler> handler = client->GetLifeSpanHandler())
            handler->OnAfterCreated(browser.get());
    }));
}
