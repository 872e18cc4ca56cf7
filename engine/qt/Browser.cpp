#include "engine/qt/Browser.h"

#include "engine/cef/CefTask.h"
#include "engine/core/KeyCodes.h"
#include "engine/qt/BridgeScript.h"
#include "engine/qt/BrowserWidgets.h"
#include "engine/qt/Engine.h"
#include "engine/qt/ScriptBridge.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include <cmath>

namespace engine {

namespace {

constexpr double kZoomStep = 1.2;
constexpr double kMinZoomFactor = 0.25;  // Qt WebEngine's bounds
constexpr double kMaxZoomFactor = 5.0;

QString qstr(const CefString& text) { return QString::fromStdU16String(text.ToString16()); }
CefString cefString(const QString& text) { return CefString(text.toStdU16String()); }

} // namespace

BrowserImpl::BrowserImpl(CefRefPtr<CefClient> client, const CefBrowserSettings& settings,
                         bool popup)
    : m_id(Engine::instance()->nextBrowserId()),
      m_client(client),
      m_settings(settings),
      m_popup(popup),
      m_bridge(std::make_unique<ScriptBridge>(*this))
{
}

BrowserImpl::~BrowserImpl() = default;

CefRefPtr<BrowserImpl> BrowserImpl::create(const CefWindowInfo& windowInfo,
                                           CefRefPtr<CefClient> client,
                                           const CefBrowserSettings& settings, const QString& url,
                                           bool popup)
{
    CefRefPtr<BrowserImpl> browser = new BrowserImpl(client, settings, popup);
    browser->build(windowInfo.m_ParentWindow, windowInfo.m_Rect, qstr(windowInfo.m_WindowName));
    // A new page is blank already. Loading about:blank would only race the
    // client's first address: Qt WebEngine loses the load events of a
    // navigation that starts while about:blank is being committed.
    if (!url.isEmpty() && url != QLatin1String("about:blank"))
        browser->loadUrl(url);
    return browser;
}

void BrowserImpl::build(QWidget* parent, const CefRect& rect, const QString& windowName)
{
    Engine* engine = Engine::instance();
    QWidget* host = parent;
    if (!host) {
        auto* frame = new BrowserFrame();
        frame->setWindowTitle(windowName);
        frame->resize(rect.width > 0 ? rect.width : 1024, rect.height > 0 ? rect.height : 768);
        m_frameWindow = frame;
        host = frame;
    }
    m_window = new BrowserWindow(this, host);
    m_view = new BrowserView(this, m_window);
    m_page = new BrowserPage(this, engine->profile(), m_view);
    m_view->setPage(m_page);
    if (m_frameWindow)
        m_frameWindow->layout()->addWidget(m_window);
    else
        m_window->setGeometry(rect.x, rect.y, rect.width, rect.height);
    engine->addBrowser(this);

    installScripts();
    applySettings();
    QObject::connect(m_page, &QWebEnginePage::loadingChanged, m_page,
                     [this](const QWebEngineLoadingInfo& info) { handleLoadingChanged(info); });
    QObject::connect(m_page, &QWebEnginePage::titleChanged, m_page,
                     [this](const QString& title) { handleTitleChanged(title); });
    QObject::connect(m_page, &QWebEnginePage::windowCloseRequested, m_page,
                     [this] { handleCloseRequest(); });
    m_window->show();
    if (m_frameWindow)
        m_frameWindow->show();
}

void BrowserImpl::installScripts()
{
    Engine* engine = Engine::instance();
    BridgeScriptOptions options;
    options.key = engine->bridgeKey();
    options.browserId = m_id;
    options.xhrBase = engine->bridgeXhrBase();
    options.textAreaResizeDisabled = m_settings.text_area_resize_disabled;

    auto makeScript = [](const QString& name, const QString& source) {
        QWebEngineScript script;
        script.setName(name);
        script.setSourceCode(source);
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(QWebEngineScript::MainWorld);
        script.setRunsOnSubFrames(true);
        return script;
    };
    // The bridge first: extensions run after the context has its objects.
    m_page->scripts().insert(makeScript(QStringLiteral("tolvan-bridge"), bridgeScriptSource(options)));
    for (const Extension& extension : engine->extensions())
        m_page->scripts().insert(makeScript("extension:" + extension.name, extension.code));
}

void BrowserImpl::applySettings()
{
    QWebEngineSettings* settings = m_page->settings();
    if (m_settings.minimum_font_size > 0)
        settings->setFontSize(QWebEngineSettings::MinimumFontSize, m_settings.minimum_font_size);
    if (m_settings.minimum_logical_font_size > 0)
        settings->setFontSize(QWebEngineSettings::MinimumLogicalFontSize,
                              m_settings.minimum_logical_font_size);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, !m_settings.plugins_disabled);
    settings->setAttribute(QWebEngineSettings::LocalStorageEnabled,
                           !m_settings.local_storage_disabled);
    settings->setAttribute(QWebEngineSettings::Accelerated2dCanvasEnabled,
                           !m_settings.accelerated_2d_canvas_disabled);
    m_view->setAcceptDrops(!m_settings.drag_drop_disabled);
}

void BrowserImpl::announceCreated()
{
    CefRefPtr<BrowserImpl> self = this;
    CefPostTask(TID_UI, NewCefRunnableFunction([self] {
        if (self->m_closed)
            return;
        if (CefRefPtr<CefLifeSpanHandler> handler = self->m_client->GetLifeSpanHandler())
            handler->OnAfterCreated(self.get());
    }));
}

BrowserPage* BrowserImpl::page() const { return m_page; }

void BrowserImpl::CloseBrowser()
{
    if (m_closed)
        return;
    // Later: the call may come from inside one of the page's own callbacks.
    if (m_frameWindow)
        m_frameWindow->deleteLater();
    else if (m_window)
        m_window->deleteLater();
}

CefWindowHandle BrowserImpl::GetWindowHandle() { return m_window; }

CefRefPtr<CefFrame> BrowserImpl::GetMainFrame() { return m_bridge->mainFrame().get(); }

void BrowserImpl::Reload()
{
    if (!m_closed && m_page)
        m_page->triggerAction(QWebEnginePage::Reload);
}

void BrowserImpl::ReloadIgnoreCache()
{
    if (!m_closed && m_page)
        m_page->triggerAction(QWebEnginePage::ReloadAndBypassCache);
}

void BrowserImpl::StopLoad()
{
    if (!m_closed && m_page)
        m_page->triggerAction(QWebEnginePage::Stop);
}

double BrowserImpl::GetZoomLevel()
{
    if (m_closed || !m_page)
        return 0;
    return std::log(m_page->zoomFactor()) / std::log(kZoomStep);
}

void BrowserImpl::SetZoomLevel(double zoomLevel)
{
    if (m_closed || !m_page || !std::isfinite(zoomLevel))
        return;
    m_page->setZoomFactor(std::clamp(std::pow(kZoomStep, zoomLevel), kMinZoomFactor, kMaxZoomFactor));
}

void BrowserImpl::ShowDevTools()
{
    if (m_closed || !m_page)
        return;
    if (!m_devTools) {
        auto* view = new QWebEngineView();
        view->setAttribute(Qt::WA_DeleteOnClose);
        auto* devToolsPage = new QWebEnginePage(Engine::instance()->profile(), view);
        view->setPage(devToolsPage);
        view->setWindowTitle(QStringLiteral("Developer Tools"));
        view->resize(1000, 700);
        m_page->setDevToolsPage(devToolsPage);
        m_devTools = view;
    }
    m_devTools->show();
    m_devTools->raise();
    m_devTools->activateWindow();
}

void BrowserImpl::CloseDevTools()
{
    if (m_devTools) {
        if (m_page)
            m_page->setDevToolsPage(nullptr);
        m_devTools->deleteLater();
        m_devTools = nullptr;
    }
}

void BrowserImpl::SetFocus(bool enable)
{
    if (m_closed || !m_view)
        return;
    if (enable) {
        m_view->window()->activateWindow();
        m_view->setFocus(Qt::OtherFocusReason);
    } else if (m_view->hasFocus() || m_view->isAncestorOf(QApplication::focusWidget())) {
        if (QWidget* focused = QApplication::focusWidget())
            focused->clearFocus();
    }
}

void BrowserImpl::loadUrl(const QString& url)
{
    if (!m_closed && m_page)
        m_page->load(QUrl(url));
}

QString BrowserImpl::mainFrameUrl() const
{
    return m_page ? QString::fromUtf8(m_page->url().toEncoded()) : QString();
}

void BrowserImpl::runInMainFrame(const QString& code, const QString& scriptUrl)
{
    if (m_closed || !m_page)
        return;
    QString source = code;
    if (!scriptUrl.isEmpty())
        source += "\n//# sourceURL=" + scriptUrl;
    m_page->runJavaScript(source, QWebEngineScript::MainWorld);
}

void BrowserImpl::runInPrivateWorld(const QString& code)
{
    if (!m_closed && m_page)
        m_page->runJavaScript(code, QWebEngineScript::ApplicationWorld);
}

void BrowserImpl::destroyNow()
{
    if (m_frameWindow)
        delete m_frameWindow;
    else
        delete m_window;
}

void BrowserImpl::windowDestroyed()
{
    if (m_closed)
        return;
    m_closed = true;
    CefRefPtr<BrowserImpl> self = this;
    m_bridge->clear();
    if (CefRefPtr<CefLifeSpanHandler> handler = m_client->GetLifeSpanHandler())
        handler->OnBeforeClose(this);
    // The page goes now, while this object surely lives; the developer tools
    // before the page they inspect.
    delete m_devTools;
    if (m_page)
        m_page->disconnect();
    delete m_view;
    if (Engine* engine = Engine::instance())
        engine->removeBrowser(this);
}

void BrowserImpl::handleLoadingChanged(const QWebEngineLoadingInfo& info)
{
    if (m_closed)
        return;
    const QString url = QString::fromUtf8(info.url().toEncoded());
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        // The client's page for a failed load starts as a data: address and
        // ends under the failed one; any other start ends that expectation.
        m_ownErrorPageLoading = !m_ownErrorPageFor.isEmpty() && info.url().scheme() == "data";
        if (!m_ownErrorPageLoading)
            m_ownErrorPageFor.clear();
        return;
    }
    if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus)
        return;
    CefRefPtr<CefLoadHandler> handler = m_client->GetLoadHandler();
    CefRefPtr<CefFrame> frame = GetMainFrame();
    const bool httpAnswer = info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain;
    if (info.status() == QWebEngineLoadingInfo::LoadSucceededStatus || httpAnswer) {
        int status = httpAnswer ? info.errorCode() : 0;
        if (m_ownErrorPageLoading && url == m_ownErrorPageFor)
            status = 0;  // no HTTP answer: the client's page for a failed load
        m_ownErrorPageLoading = false;
        m_ownErrorPageFor.clear();
        if (m_settings.history_disabled)
            m_page->history()->clear();
        if (handler)
            handler->OnLoadEnd(this, frame, status);
        return;
    }
    // Failed without an answer. Loads stopped or replaced are no errors.
    if (info.errorCode() == ERR_ABORTED || info.errorCode() == 0)
        return;
    CefString errorText;
    if (handler && handler->OnLoadError(this, frame, info.errorCode(), cefString(url), errorText)
        && !errorText.empty()) {
        m_ownErrorPageFor = url;
        m_page->setHtml(qstr(errorText), info.url());
    }
}

void BrowserImpl::handleTitleChanged(const QString& title)
{
    if (m_closed)
        return;
    if (m_frameWindow)
        m_frameWindow->setWindowTitle(title);
    if (CefRefPtr<CefDisplayHandler> handler = m_client->GetDisplayHandler())
        handler->OnTitleChange(this, cefString(title));
}

bool BrowserImpl::handleConsoleMessage(const QString& message, const QString& source, int line)
{
    if (m_closed)
        return true;
    CefRefPtr<CefDisplayHandler> handler = m_client->GetDisplayHandler();
    return handler && handler->OnConsoleMessage(this, cefString(message), cefString(source), line);
}

bool BrowserImpl::handleKey(const QKeyEvent& event, bool afterJavaScript)
{
    if (m_closed)
        return false;
    CefRefPtr<CefKeyboardHandler> handler = m_client->GetKeyboardHandler();
    if (!handler)
        return false;
    const auto type = event.type() == QEvent::KeyPress ? KEYEVENT_RAWKEYDOWN : KEYEVENT_KEYUP;
    const int code = windowsKeyCode(event.key(), event.modifiers() & Qt::KeypadModifier);
    const int modifiers =
        keyModifiers(event.modifiers(), event.nativeModifiers(), event.isAutoRepeat());
    // Keys held with Alt are the system's keys on Windows.
    const bool isSystemKey = event.modifiers() & Qt::AltModifier;
    return handler->OnKeyEvent(this, type, code, modifiers, isSystemKey, afterJavaScript);
}

bool BrowserImpl::handleContextMenu(const CefMenuInfo& menuInfo)
{
    if (m_closed)
        return true;
    CefRefPtr<CefMenuHandler> handler = m_client->GetMenuHandler();
    return handler && handler->OnBeforeMenu(this, menuInfo);
}

void BrowserImpl::handleCloseRequest()
{
    // A popup (or parentless browser) closes; a child browser asks the
    // application's top-level window to close, which decides.
    if (m_frameWindow)
        m_frameWindow->close();
    else if (m_window)
        m_window->window()->close();
}

BrowserPage* BrowserImpl::createPopupPage()
{
    if (m_closed)
        return nullptr;
    CefRefPtr<BrowserImpl> popup = BrowserImpl::create(CefWindowInfo(), m_client, m_settings, {}, true);
    popup->announceCreated();
    return popup->m_page;
}

} // namespace engine

using engine::BrowserImpl;
using engine::Engine;

bool CefBrowser::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                               const CefString& url, const CefBrowserSettings& settings)
{
    if (!Engine::instance() || !client || !CefCurrentlyOn(TID_UI))
        return false;
    const bool hasParent = windowInfo.m_ParentWindow != nullptr;
    QPointer<QWidget> parent = windowInfo.m_ParentWindow;
    const QString address = QString::fromStdU16String(url.ToString16());
    CefPostTask(TID_UI, NewCefRunnableFunction([=] {
        // The engine may have stopped, or the parent gone, meanwhile.
        if (!Engine::instance() || (hasParent && !parent))
            return;
        CefWindowInfo info = windowInfo;
        info.m_ParentWindow = parent;
        CefRefPtr<BrowserImpl> browser = BrowserImpl::create(info, client, settings, address, false);
        if (CefRefPtr<CefLifeSpanHandler> handler = client->GetLifeSpanHandler())
            handler->OnAfterCreated(browser.get());
    }));
    return true;
}
