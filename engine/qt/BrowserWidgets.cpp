#include "engine/qt/BrowserWidgets.h"

#include "engine/qt/Browser.h"
#include "engine/qt/Engine.h"
#include "engine/qt/ScriptBridge.h"
#include "engine/qt/Schemes.h"

#include <QChildEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <QWebEngineContextMenuRequest>

namespace engine {

namespace {

CefString cefString(const QString& text) { return CefString(text.toStdU16String()); }

bool isKeyEvent(const QEvent* event)
{
    return event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
}

} // namespace

BrowserWindow::BrowserWindow(BrowserImpl* browser, QWidget* parent)
    : QWidget(parent), m_browser(browser)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

BrowserWindow::~BrowserWindow() { m_browser->windowDestroyed(); }

bool BrowserWindow::event(QEvent* event)
{
    // The view hands the keys the page did not cancel to its parent.
    if (isKeyEvent(event)) {
        m_browser->handleKey(*static_cast<QKeyEvent*>(event), true);
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (isKeyEvent(event))
        return m_browser->handleKey(*static_cast<QKeyEvent*>(event), false);
    return QObject::eventFilter(watched, event);
}

BrowserView::BrowserView(BrowserImpl* browser, QWidget* parent)
    : QWebEngineView(parent), m_browser(browser), m_keyFilter(new KeyFilter(browser, this))
{
    parent->layout()->addWidget(this);
}

void BrowserView::contextMenuEvent(QContextMenuEvent* event)
{
    CefMenuInfo info;
    info.x = event->pos().x();
    info.y = event->pos().y();
    if (const QWebEngineContextMenuRequest* request = lastContextMenuRequest()) {
        info.x = request->position().x();
        info.y = request->position().y();
        info.linkUrl = cefString(QString::fromUtf8(request->linkUrl().toEncoded()));
        info.imageUrl = cefString(QString::fromUtf8(request->mediaUrl().toEncoded()));
        info.selectionText = cefString(request->selectedText());
        info.isEditable = request->isContentEditable();
    }
    if (m_browser->handleContextMenu(info)) {
        event->accept();
        return;
    }
    QWebEngineView::contextMenuEvent(event);
}

bool BrowserView::event(QEvent* event)
{
    // The widget that receives the page's input (the focus proxy) is made
    // with the page's first rendering, and again when the renderer restarts.
    if (event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) {
            child->removeEventFilter(m_keyFilter);
            child->installEventFilter(m_keyFilter);
        }
    }
    return QWebEngineView::event(event);
}

BrowserPage::BrowserPage(BrowserImpl* browser, QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent), m_browser(browser)
{
}

bool BrowserPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& message,
                                   const QString& defaultValue, QString* result)
{
    if (Engine::instance() && message == Engine::instance()->bridgeKey()) {
        *result = answerBridgeRequest(m_browser, defaultValue);
        return !result->isEmpty();
    }
    return QWebEnginePage::javaScriptPrompt(securityOrigin, message, defaultValue, result);
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                           const QString& message, int lineNumber,
                                           const QString& sourceId)
{
    // The bridge's first request in a sandboxed iframe tries prompt before it
    // falls back; Chromium's notice about that is no message of the page's.
    if (message.startsWith(QLatin1String("Ignored call to 'prompt()'. The document is sandboxed")))
        return;
    if (!m_browser->handleConsoleMessage(message, sourceId, lineNumber))
        QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (m_browser->isClosed() || !Engine::instance()
        || !Engine::instance()->schemes().allowNavigation(*m_browser, url))
        return false;
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType)
{
    return m_browser->createPopupPage();
}

BrowserFrame::BrowserFrame()
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

} // namespace engine
