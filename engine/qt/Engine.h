#pragma once
// The started engine: its settings, the one browser profile, the registered
// extensions and scheme factories, and the open browsers.
//
// Chromium starts with the profile, which is made when the first browser is
// created; scheme registrations must come before that.

#include "engine/cef/CefApp.h"
#include "engine/cef/CefV8.h"

#include <QString>

#include <memory>
#include <set>
#include <vector>

class QWebEngineProfile;

namespace engine {

class BrowserImpl;
class DownloadManager;
class SchemeRouter;

struct Extension {
    QString name;
    QString code;
    CefRefPtr<CefV8Handler> handler;
};

class Engine {
public:
    // The started engine; null before CefInitialize and after CefShutdown.
    static Engine* instance();

    explicit Engine(const CefSettings& settings);
    ~Engine();

    const CefSettings& settings() const { return m_settings; }
    // The profile every browser uses; made (and Chromium started) on first use.
    QWebEngineProfile* profile();
    bool profileExists() const { return m_profile != nullptr; }

    // The secret the bridge script marks its requests with, and the address
    // prefix of its fallback requests.
    const QString& bridgeKey() const { return m_bridgeKey; }
    QString bridgeXhrBase() const;

    bool addExtension(Extension extension);
    const std::vector<Extension>& extensions() const { return m_extensions; }

    SchemeRouter& schemes() { return *m_schemes; }

    int nextBrowserId() { return ++m_lastBrowserId; }
    void addBrowser(BrowserImpl* browser) { m_browsers.insert(browser); }
    void removeBrowser(BrowserImpl* browser) { m_browsers.erase(browser); }
    BrowserImpl* browserById(int id) const;
    std::vector<BrowserImpl*> browsers() const { return {m_browsers.begin(), m_browsers.end()}; }

private:
    void createProfile();

    CefSettings m_settings;
    QString m_bridgeKey;
    std::vector<Extension> m_extensions;
    std::unique_ptr<SchemeRouter> m_schemes;
    std::unique_ptr<DownloadManager> m_downloads;
    QWebEngineProfile* m_profile = nullptr;
    std::set<BrowserImpl*> m_browsers;
    int m_lastBrowserId = 0;
};

} // namespace engine
