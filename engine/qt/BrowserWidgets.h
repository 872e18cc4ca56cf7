#pragma once
// The Qt objects of a browser: its window, view, page and (for popups and
// parentless browsers) the top-level frame around the window.

#include "engine/cef/CefBase.h"

#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

namespace engine {

class BrowserImpl;

// The browser's window; the view fills it. Keys the page did not cancel come
// back here after the page has seen them.
class BrowserWindow : public QWidget {
public:
    BrowserWindow(BrowserImpl* browser, QWidget* parent);
    ~BrowserWindow() override;

protected:
    bool event(QEvent* event) override;

private:
    CefRefPtr<BrowserImpl> m_browser;  // the browser lives at least as long as its window
};

// Sees the page's keys before the page does.
class KeyFilter : public QObject {
public:
    explicit KeyFilter(BrowserImpl* browser, QObject* parent) : QObject(parent), m_browser(browser) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BrowserImpl* m_browser;
};

class BrowserView : public QWebEngineView {
public:
    BrowserView(BrowserImpl* browser, QWidget* parent);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    BrowserImpl* m_browser;
    KeyFilter* m_keyFilter;
};

class BrowserPage : public QWebEnginePage {
public:
    BrowserPage(BrowserImpl* browser, QWebEngineProfile* profile, QObject* parent);
    BrowserImpl* browser() const { return m_browser; }

protected:
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message,
                          const QString& defaultValue, QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    BrowserImpl* m_browser;
};

// The top-level window of a popup or of a browser created without a parent.
// Closing it closes the browser.
class BrowserFrame : public QWidget {
public:
    BrowserFrame();
};

} // namespace engine
