#pragma once
// The application's URL schemes: factories by scheme and domain, the check
// of navigations to them, and the serving of requests their handlers accept.
// Also the bridge scheme that carries the bridge script's requests where
// prompt cannot.

#include "engine/cef/CefScheme.h"

#include <QString>
#include <QUrl>

#include <memory>
#include <set>
#include <vector>

class QWebEngineProfile;

namespace engine {

class BrowserImpl;
class SchemeServer;
class BridgeSchemeServer;

class SchemeRouter {
public:
    SchemeRouter();
    ~SchemeRouter();

    static QString bridgeScheme() { return QStringLiteral("tolvan-bridge"); }

    bool registerFactory(const QString& scheme, const QString& domain,
                         CefRefPtr<CefSchemeHandlerFactory> factory);
    void clear() { m_factories.clear(); }

    // Tells Chromium the schemes; before the profile exists.
    void registerUrlSchemes();
    void installHandlers(QWebEngineProfile* profile);

    // A page of `browser` is about to navigate to `url`. True when the
    // navigation may go on: the address is not one of the application's
    // schemes, or its handler accepted it.
    bool allowNavigation(BrowserImpl& browser, const QUrl& url);

private:
    struct Entry {
        QString scheme;
        QString domain;
        CefRefPtr<CefSchemeHandlerFactory> factory;
    };

    const Entry* find(const QUrl& url) const;

    std::vector<Entry> m_factories;
    std::set<QString> m_knownToChromium;
    std::unique_ptr<SchemeServer> m_server;
    std::unique_ptr<BridgeSchemeServer> m_bridgeServer;
};

} // namespace engine
