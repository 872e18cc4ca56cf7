#include "HttpServer.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <atomic>
#include <future>
#include <optional>
#include <mutex>
#include <thread>

namespace testsupport {

namespace {

constexpr int kWaitMs = 100;
constexpr int kRequestTimeoutMs = 30000;

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

std::optional<HttpRequest> readRequest(QTcpSocket& socket)
{
    QByteArray buffer;
    qsizetype end = -1;
    for (int waited = 0; (end = buffer.indexOf("\r\n\r\n")) < 0; waited += kWaitMs) {
        if (waited > kRequestTimeoutMs || socket.state() != QAbstractSocket::ConnectedState)
            return std::nullopt;
        if (socket.waitForReadyRead(kWaitMs))
            buffer += socket.readAll();
    }
    HttpRequest request;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
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
    return request;
}

void writeAll(QTcpSocket& socket, const QByteArray& bytes)
{
    socket.write(bytes);
    while (socket.bytesToWrite() > 0 && socket.state() == QAbstractSocket::ConnectedState)
        socket.waitForBytesWritten(kWaitMs);
}

} // namespace

struct HttpServer::Shared {
    mutable std::mutex mutex;
    std::map<std::string, HttpHandler> routes;
    std::map<std::string, int> counts;
    std::atomic<bool> stopping = false;
    std::thread acceptor;
    std::vector<std::thread> connections;

    HttpResponse answer(const HttpRequest& request)
    {
        HttpHandler handler;
        {
            std::lock_guard lock(mutex);
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

    void serve(qintptr descriptor)
    {
        QTcpSocket socket;
        if (!socket.setSocketDescriptor(descriptor))
            return;
        const std::optional<HttpRequest> request = readRequest(socket);
        if (!request)
            return;
        const HttpResponse response = answer(*request);
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " "
                          + reasonPhrase(response.status) + "\r\n";
        head += "Content-Type: " + QByteArray::fromStdString(response.contentType) + "\r\n";
        head += "Content-Length: " + QByteArray::number(qsizetype(response.body.size())) + "\r\n";
        head += "Cache-Control: no-store\r\nConnection: close\r\n";
        for (const auto& [name, value] : response.headers)
            head += QByteArray::fromStdString(name) + ": " + QByteArray::fromStdString(value) + "\r\n";
        writeAll(socket, head + "\r\n");

        QByteArray body = QByteArray::fromStdString(response.body);
        const bool drop = response.dropAfter >= 0 && response.dropAfter < body.size();
        if (drop)
            body.truncate(response.dropAfter);
        const qsizetype piece = response.pieceSize ? qsizetype(response.pieceSize) : body.size();
        for (qsizetype sent = 0; sent < body.size() && !stopping; sent += piece) {
            if (sent > 0 && response.pieceDelayMs > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(response.pieceDelayMs));
            writeAll(socket, body.mid(sent, piece));
        }
        if (drop) {
            socket.abort();  // a reset, not an orderly end
            return;
        }
        socket.disconnectFromHost();
        if (socket.state() != QAbstractSocket::UnconnectedState)
            socket.waitForDisconnected(1000);
    }
};

namespace {

// Hands every accepted connection to a thread of its own.
class Listener : public QTcpServer {
public:
    explicit Listener(HttpServer::Shared& shared) : m_shared(shared) {}

protected:
    void incomingConnection(qintptr descriptor) override
    {
        std::lock_guard lock(m_shared.mutex);
        m_shared.connections.emplace_back([this, descriptor] { m_shared.serve(descriptor); });
    }

private:
    HttpServer::Shared& m_shared;
};

} // namespace

HttpServer::HttpServer() : m_shared(std::make_shared<Shared>())
{
    std::promise<quint16> port;
    std::future<quint16> listening = port.get_future();
    Shared* shared = m_shared.get();
    m_shared->acceptor = std::thread([shared, &port] {
        Listener listener(*shared);
        port.set_value(listener.listen(QHostAddress::LocalHost, 0) ? listener.serverPort() : 0);
        while (!shared->stopping)
            listener.waitForNewConnection(kWaitMs);
    });
    m_port = listening.get();
}

HttpServer::~HttpServer()
{
    m_shared->stopping = true;
    m_shared->acceptor.join();
    std::vector<std::thread> connections;
    {
        std::lock_guard lock(m_shared->mutex);
        connections.swap(m_shared->connections);
    }
    for (std::thread& connection : connections)
        connection.join();
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
    std::lock_guard lock(m_shared->mutex);
    m_shared->routes[path] = std::move(handler);
}

int HttpServer::requestCount(const std::string& path) const
{
    std::lock_guard lock(m_shared->mutex);
    const auto found = m_shared->counts.find(path);
    return found == m_shared->counts.end() ? 0 : found->second;
}

std::string htmlPage(const std::string& body, const std::string& head)
{
    return "<!doctype html><html><head><meta charset=\"utf-8\">" + head + "</head><body>" + body
           + "</body></html>";
}

} // namespace testsupport
