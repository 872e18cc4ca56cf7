#include "HttpServer.h"

#include <QMutex>
#include <QPointer>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace testsupport {

struct HttpServer::Shared {
    mutable QMutex mutex;
    std::map<std::string, HttpHandler> routes;
    std::map<std::string, int> counts;

    HttpResponse answer(const HttpRequest& request)
    {
        HttpHandler handler;
        {
            QMutexLocker lock(&mutex);
            ++counts[request.path];
            const auto found = routes.find(request.path);
            if (found != routes.end())
                handler = found->second;
        }
        if (handler)
            return handler(request);
        HttpResponse notFound;
        notFound.status = 404;
        notFound.body = htmlPage("<h1>not found</h1>");
        return notFound;
    }
};

namespace {

const char* reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

// One connection: reads a request, writes the answer, closes.
class Connection : public QObject {
public:
    Connection(QTcpSocket* socket, std::shared_ptr<HttpServer::Shared> shared)
        : QObject(socket), m_socket(socket), m_shared(std::move(shared))
    {
        connect(socket, &QTcpSocket::readyRead, this, [this] { read(); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    void read()
    {
        if (m_answered)
            return;
        m_buffer += m_socket->readAll();
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        m_answered = true;
        HttpRequest request;
        const QList<QByteArray> lines = m_buffer.left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0).toStdString();
        const QByteArray target = first.value(1);
        const qsizetype question = target.indexOf('?');
        request.path = (question < 0 ? target : target.left(question)).toStdString();
        if (question >= 0)
            request.query = target.mid(question + 1).toStdString();
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                request.headers[line.left(colon).trimmed().toLower().toStdString()] =
                    line.mid(colon + 1).trimmed().toStdString();
        }
        respond(m_shared->answer(request));
    }

    void respond(const HttpResponse& response)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " "
                          + reasonPhrase(response.status) + "\r\n";
        head += "Content-Type: " + QByteArray::fromStdString(response.contentType) + "\r\n";
        head += "Content-Length: " + QByteArray::number(qsizetype(response.body.size())) + "\r\n";
        head += "Cache-Control: no-store\r\nConnection: close\r\n";
        for (const auto& [name, value] : response.headers)
            head += QByteArray::fromStdString(name) + ": " + QByteArray::fromStdString(value) + "\r\n";
        head += "\r\n";
        m_socket->write(head);
        m_body = QByteArray::fromStdString(response.body);
        if (response.dropAfter >= 0 && response.dropAfter < m_body.size()) {
            m_body.truncate(response.dropAfter);
            m_drop = true;
        }
        m_pieceSize = response.pieceSize ? qsizetype(response.pieceSize) : m_body.size() + 1;
        m_pieceDelayMs = response.pieceDelayMs;
        writeNextPiece();
    }

    void writeNextPiece()
    {
        if (m_sent < m_body.size()) {
            const QByteArray piece = m_body.mid(m_sent, m_pieceSize);
            m_socket->write(piece);
            m_sent += piece.size();
        }
        if (m_sent < m_body.size()) {
            QTimer::singleShot(m_pieceDelayMs, this, [this] { writeNextPiece(); });
            return;
        }
        if (m_drop) {
            m_socket->flush();
            m_socket->abort();  // a reset, not an orderly end
            return;
        }
        m_socket->disconnectFromHost();
    }

    QTcpSocket* m_socket;
    std::shared_ptr<HttpServer::Shared> m_shared;
    QByteArray m_buffer;
    QByteArray m_body;
    qsizetype m_sent = 0;
    qsizetype m_pieceSize = 0;
    int m_pieceDelayMs = 0;
    bool m_answered = false;
    bool m_drop = false;
};

class ServerThread : public QThread {
public:
    explicit ServerThread(std::shared_ptr<HttpServer::Shared> shared) : m_shared(std::move(shared)) {}

    quint16 startListening()
    {
        start();
        m_ready.acquire();
        return m_port;
    }

protected:
    void run() override
    {
        QTcpServer server;
        if (server.listen(QHostAddress::LocalHost, 0))
            m_port = server.serverPort();
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&server, this] {
            while (QTcpSocket* socket = server.nextPendingConnection())
                new Connection(socket, m_shared);
        });
        m_ready.release();
        exec();
    }

private:
    std::shared_ptr<HttpServer::Shared> m_shared;
    QSemaphore m_ready;
    quint16 m_port = 0;
};

} // namespace

HttpServer::HttpServer() : m_shared(std::make_shared<Shared>())
{
    auto thread = std::make_unique<ServerThread>(m_shared);
    m_port = thread->startListening();
    m_thread = std::move(thread);
}

HttpServer::~HttpServer()
{
    m_thread->quit();
    m_thread->wait();
}

std::string HttpServer::url(const std::string& path, const std::string& host) const
{
    return "http://" + host + ":" + std::to_string(m_port) + path;
}

void HttpServer::route(const std::string& path, HttpResponse response)
{
    route(path, [response](const HttpRequest&) { return response; });
}

void HttpServer::route(const std::string& path, HttpHandler handler)
{
    QMutexLocker lock(&m_shared->mutex);
    m_shared->routes[path] = std::move(handler);
}

int HttpServer::requestCount(const std::string& path) const
{
    QMutexLocker lock(&m_shared->mutex);
    const auto found = m_shared->counts.find(path);
    return found == m_shared->counts.end() ? 0 : found->second;
}

std::string htmlPage(const std::string& body, const std::string& head)
{
    return "<!doctype html><html><head><meta charset=\"utf-8\">" + head + "</head><body>" + body
           + "</body></html>";
}

} // namespace testsupport
