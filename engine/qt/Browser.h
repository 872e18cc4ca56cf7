#pragma once
// A browser over Qt WebEngine: its window (a widget holding the view), its
// page, its frames and script contexts, and the events it hands to the
// client.
//
// Widgets: a child browser's window is a direct child of the widget given at
// creation. A popup, or a browser created without a parent, lives in a
// top-level frame window of the layer, whose child the browser's window is.

#include "engine/cef/CefBrowser.h"
#include "engine/cef/CefClient.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QKeyEvent;
class QWebEngineLoadingInfo;
class QWebEngineView;

namespace engine {

class BrowserPage;
class BrowserView;
class BrowserWindow;
class FrameImpl;
class ScriptBridge;

class BrowserImpl : public CefBrowser {
public:
    // Builds the browser's widgets and page and starts loading `url`.
    static CefRefPtr<BrowserImpl> create(const CefWindowInfo& windowInfo,
                                         CefRefPtr<CefClient> client,
                                         const CefBrowserSettings& settings, const QString& url,
                                         bool popup);

    ~BrowserImpl() override;

    int id() const { return m_id; }
    CefRefPtr<CefClient> client() const { return m_client; }
    ScriptBridge& bridge() { return *m_bridge; }
    BrowserPage* page() const;
    bool isClosed() const { return m_closed; }

    // CefBrowser
    void CloseBrowser() override;
    CefWindowHandle GetWindowHandle() override;
    bool IsPopup() override { return m_popup; }
    CefRefPtr<CefClient> GetClient() override { return m_client; }
    CefRefPtr<CefFrame> GetMainFrame() override;
    void Reload() override;
    void ReloadIgnoreCache() override;
    void StopLoad() override;
    double GetZoomLevel() override;
    void SetZoomLevel(double zoomLevel) override;
    void ShowDevTools() override;
    void CloseDevTools() override;
    void SetFocus(bool enable) override;

    // The layer's own operations.
    void loadUrl(const QString& url);
    QString mainFrameUrl() const;
    void runInMainFrame(const QString& code, const QString& scriptUrl);
    void runInPrivateWorld(const QString& code);
    // Destroys the window at once (engine shutdown).
    void destroyNow();
    // The browser's window is being destroyed.
    void windowDestroyed();

    // Events of the page and the widgets.
    void handleLoadingChanged(const QWebEngineLoadingInfo& info);
    void handleTitleChanged(const QString& title);
    bool handleConsoleMessage(const QString& message, const QString& source, int line);
    bool handleKey(const QKeyEvent& event, bool afterJavaScript);
    bool handleContextMenu(const CefMenuInfo& menuInfo);
    void handleCloseRequest();
    BrowserPage* createPopupPage();

private:
    BrowserImpl(CefRefPtr<CefClient> client, const CefBrowserSettings& settings, bool popup);
    void build(QWidget* parent, const CefRect& rect, const QString& windowName);
    void applySettings();
    void installScripts();
    void announceCreated();

    int m_id;
    CefRefPtr<CefClient> m_client;
    CefBrowserSettings m_settings;
    bool m_popup;
    bool m_closed = false;
    QPointer<QWidget> m_frameWindow;  // the layer's top-level frame, if any
    QPointer<BrowserWindow> m_window;
    QPointer<BrowserView> m_view;
    QPointer<BrowserPage> m_page;
    QPointer<QWebEngineView> m_devTools;
    std::unique_ptr<ScriptBridge> m_bridge;
    // The failed address whose page the client supplied, until that loaded.
    QString m_ownErrorPageFor;
    bool m_ownErrorPageLoading = false;

    IMPLEMENT_REFCOUNTING(BrowserImpl);
};

} // namespace engine
