#include "engine/qt/Schemes.h"

#include "engine/qt/Browser.h"
#include "engine/qt/ScriptBridge.h"

#include <QBuffer>
#include <QPointer>
#include <QRegularExpression>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

namespace engine {

namespace {

CefString cefString(const QString& text) { return CefString(text.toStdU16String()); }

bool isBuiltInScheme(const QString& scheme)
{
    static const QStringList builtIn = {
        "http", "https", "file", "ftp", "data", "about", "blob", "javascript", "ws", "wss",
        "chrome", "chrome-error", "chrome-extension", "devtools", "view-source", "filesystem",
        "qrc", "mailto"};
    return builtIn.contains(scheme) || scheme == SchemeRouter::bridgeScheme();
}

bool isValidSchemeName(const QString& scheme)
{
    static const QRegularExpression pattern(QStringLiteral("^[a-z][a-z0-9+.-]*$"));
    return pattern.match(scheme).hasMatch();
}

class RequestImpl : public CefRequest {
public:
    RequestImpl(QString url, QString method) : m_url(std::move(url)), m_method(std::move(method)) {}
    CefString GetURL() override { return cefString(m_url); }
    CefString GetMethod() override { return cefString(m_method); }

private:
    QString m_url;
    QString m_method;
    IMPLEMENT_REFCOUNTING(RequestImpl);
};

class ResponseImpl : public CefResponse {
public:
    int GetStatus() override { return m_status; }
    void SetStatus(int status) override { m_status = status; }
    CefString GetMimeType() override { return m_mimeType; }
    void SetMimeType(const CefString& mimeType) override { m_mimeType = mimeType; }

private:
    int m_status = 200;
    CefString m_mimeType;
    IMPLEMENT_REFCOUNTING(ResponseImpl);
};

class ServeJob;

// Relays a handler's signals to the job that serves its response; before
// that job exists it remembers that the headers are ready.
class SchemeCallback : public CefSchemeHandlerCallback {
public:
    void HeadersAvailable() override;
    void BytesAvailable() override;
    void Cancel() override;

    bool headersReady() const { return m_headersReady; }
    void attach(ServeJob* job) { m_job = job; }

private:
    bool m_headersReady = false;
    QPointer<ServeJob> m_job;
    IMPLEMENT_REFCOUNTING(SchemeCallback);
};

// Serves one accepted request to Qt's job: headers first, then the whole body.
class ServeJob : public QObject {
public:
    ServeJob(QWebEngineUrlRequestJob* job, CefRefPtr<CefSchemeHandler> handler,
             CefRefPtr<SchemeCallback> callback)
        : QObject(job), m_job(job), m_handler(handler), m_callback(callback)
    {
        m_callback->attach(this);
    }

    ~ServeJob() override
    {
        if (!m_finished)
            m_handler->Cancel();
    }

    void start()
    {
        if (m_callback->headersReady())
            readHeaders();
    }

    void readHeaders()
    {
        if (m_headersRead || m_finished)
            return;
        m_headersRead = true;
        CefRefPtr<ResponseImpl> response = new ResponseImpl();
        std::int64_t length = -1;
        CefString redirectUrl;
        m_handler->GetResponseHeaders(response.get(), length, redirectUrl);
        m_mimeType = QString::fromStdU16String(response->GetMimeType().ToString16()).toUtf8();
        if (m_mimeType.isEmpty())
            m_mimeType = "text/html";
        readBody();
    }

    void readBody()
    {
        if (!m_headersRead || m_finished)
            return;
        char chunk[64 * 1024];
        while (true) {
            int bytesRead = 0;
            const bool more =
                m_handler->ReadResponse(chunk, int(sizeof chunk), bytesRead, m_callback.get());
            if (bytesRead > 0)
                m_body.append(chunk, qMin(bytesRead, int(sizeof chunk)));
            if (!more)
                break;
            if (bytesRead <= 0)
                return;  // the handler calls BytesAvailable later
        }
        m_finished = true;
        auto* buffer = new QBuffer(m_job);
        buffer->setData(m_body);
        buffer->open(QIODevice::ReadOnly);
        m_job->reply(m_mimeType, buffer);
    }

    void fail()
    {
        if (m_finished)
            return;
        m_finished = true;
        m_job->fail(QWebEngineUrlRequestJob::RequestAborted);
    }

private:
    QWebEngineUrlRequestJob* m_job;
    CefRefPtr<CefSchemeHandler> m_handler;
    CefRefPtr<SchemeCallback> m_callback;
    QByteArray m_mimeType;
    QByteArray m_body;
    bool m_headersRead = false;
    bool m_finished = false;
};

void SchemeCallback::HeadersAvailable()
{
    m_headersReady = true;
    if (m_job)
        QMetaObject::invokeMethod(m_job, [job = m_job] { if (job) job->readHeaders(); },
                                  Qt::QueuedConnection);
}

void SchemeCallback::BytesAvailable()
{
    if (m_job)
        QMetaObject::invokeMethod(m_job, [job = m_job] { if (job) job->readBody(); },
                                  Qt::QueuedConnection);
}

void SchemeCallback::Cancel()
{
    if (m_job)
        QMetaObject::invokeMethod(m_job, [job = m_job] { if (job) job->fail(); },
                                  Qt::QueuedConnection);
}

struct AcceptedRequest {
    QUrl url;
    CefRefPtr<CefSchemeHandler> handler;
    CefRefPtr<SchemeCallback> callback;
};

} // namespace

// Qt's handler for the application's schemes: serves what a handler accepted
// at navigation time; anything else (resources of the scheme) is refused.
class SchemeServer : public QWebEngineUrlSchemeHandler {
public:
    void accept(AcceptedRequest request) { m_accepted.push_back(std::move(request)); }

    void requestStarted(QWebEngineUrlRequestJob* job) override
    {
        for (auto it = m_accepted.begin(); it != m_accepted.end(); ++it) {
            if (it->url == job->requestUrl()) {
                auto* serve = new ServeJob(job, it->handler, it->callback);
                m_accepted.erase(it);
                serve->start();
                return;
            }
        }
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
    }

private:
    std::vector<AcceptedRequest> m_accepted;
};

// Answers the bridge script's requests that come as XMLHttpRequests.
class BridgeSchemeServer : public QWebEngineUrlSchemeHandler {
public:
    void requestStarted(QWebEngineUrlRequestJob* job) override
    {
        const QString answer =
            answerBridgeRequest(nullptr, job->requestUrl().query(QUrl::FullyDecoded));
        if (answer.isEmpty()) {
            job->fail(QWebEngineUrlRequestJob::RequestDenied);
            return;
        }
        auto* buffer = new QBuffer(job);
        buffer->setData(answer.toUtf8());
        buffer->open(QIODevice::ReadOnly);
        job->reply("application/json", buffer);
    }
};

SchemeRouter::SchemeRouter()
    : m_server(std::make_unique<SchemeServer>()),
      m_bridgeServer(std::make_unique<BridgeSchemeServer>())
{
}

SchemeRouter::~SchemeRouter() = default;

bool SchemeRouter::registerFactory(const QString& schemeName, const QString& domain,
                                   CefRefPtr<CefSchemeHandlerFactory> factory)
{
    const QString scheme = schemeName.toLower();
    if (!isValidSchemeName(scheme) || isBuiltInScheme(scheme))
        return false;
    const QString host = domain.toLower();
    for (auto it = m_factories.begin(); it != m_factories.end(); ++it) {
        if (it->scheme == scheme && it->domain == host) {
            if (factory)
                it->factory = factory;
            else
                m_factories.erase(it);
            return true;
        }
    }
    if (factory)
        m_factories.push_back({scheme, host, factory});
    return true;
}

void SchemeRouter::registerUrlSchemes()
{
    QWebEngineUrlScheme bridge(bridgeScheme().toLatin1());
    bridge.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    bridge.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(bridge);
    for (const Entry& entry : m_factories) {
        if (m_knownToChromium.count(entry.scheme))
            continue;
        QWebEngineUrlScheme scheme(entry.scheme.toLatin1());
        scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
        QWebEngineUrlScheme::registerScheme(scheme);
        m_knownToChromium.insert(entry.scheme);
    }
}

void SchemeRouter::installHandlers(QWebEngineProfile* profile)
{
    profile->installUrlSchemeHandler(bridgeScheme().toLatin1(), m_bridgeServer.get());
    for (const QString& scheme : m_knownToChromium)
        profile->installUrlSchemeHandler(scheme.toLatin1(), m_server.get());
}

const SchemeRouter::Entry* SchemeRouter::find(const QUrl& url) const
{
    const QString scheme = url.scheme().toLower();
    const QString host = url.host().toLower();
    const Entry* anyDomain = nullptr;
    for (const Entry& entry : m_factories) {
        if (entry.scheme != scheme)
            continue;
        if (entry.domain == host && !host.isEmpty())
            return &entry;
        if (entry.domain.isEmpty())
            anyDomain = &entry;
    }
    return anyDomain;
}

bool SchemeRouter::allowNavigation(BrowserImpl& browser, const QUrl& url)
{
    const Entry* entry = find(url);
    if (!entry)
        return true;
    const QString scheme = entry->scheme;
    CefRefPtr<CefSchemeHandlerFactory> factory = entry->factory;
    CefRefPtr<CefRequest> request =
        new RequestImpl(QString::fromUtf8(url.toEncoded()), QStringLiteral("GET"));
    CefRefPtr<CefSchemeHandler> handler = factory->Create(&browser, cefString(scheme), request);
    if (!handler)
        return false;
    CefRefPtr<SchemeCallback> callback = new SchemeCallback();
    if (!handler->ProcessRequest(request, callback.get()))
        return false;
    if (!m_knownToChromium.count(scheme)) {
        // Registered after Chromium started: it cannot load the scheme.
        handler->Cancel();
        return false;
    }
    m_server->accept({url, handler, callback});
    return true;
}

} // namespace engine
