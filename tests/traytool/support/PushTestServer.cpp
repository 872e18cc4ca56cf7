#include "PushTestServer.h"

#include "TestSupport.h"

namespace traytooltest {

PushTestServer::PushTestServer()
{
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            m_connections.push_back(std::make_unique<ServerConnection>());
            ServerConnection* connection = m_connections.back().get();
            connection->socket = socket;
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [connection] {
                connection->pending += connection->socket->readAll();
                qsizetype end;
                while ((end = connection->pending.indexOf('\n')) >= 0) {
                    connection->lines.push_back(connection->pending.left(end + 1));
                    connection->pending.remove(0, end + 1);
                }
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket,
                             [connection] { connection->closed = true; });
        }
    });
}

PushTestServer::~PushTestServer()
{
    for (auto& connection : m_connections) {
        connection->socket->disconnect();
        connection->socket->abort();
        delete connection->socket;
    }
}

bool PushTestServer::listen(quint16 port)
{
    if (!m_server.listen(QHostAddress::LocalHost, port))
        return false;
    m_port = m_server.serverPort();
    return true;
}

void PushTestServer::stopListening() { m_server.close(); }

void PushTestServer::write(const QByteArray& bytes)
{
    last().socket->write(bytes);
    last().socket->flush();
}

void PushTestServer::closeConnection() { last().socket->disconnectFromHost(); }

bool PushTestServer::waitForConnections(int count, int timeoutMs)
{
    return testsupport::waitUntil([&] { return connectionCount() >= count; },
                                  std::chrono::milliseconds(timeoutMs));
}

bool PushTestServer::waitForLines(int count, int timeoutMs)
{
    return testsupport::waitUntil(
        [&] { return !m_connections.empty() && int(last().lines.size()) >= count; },
        std::chrono::milliseconds(timeoutMs));
}

bool PushTestServer::waitForClose(int timeoutMs)
{
    return testsupport::waitUntil([&] { return !m_connections.empty() && last().closed; },
                                  std::chrono::milliseconds(timeoutMs));
}

QByteArray statusReply(const QString& status, const QString& memberId)
{
    return QStringLiteral(R"({"channelNo":"05","memberId":"%1","status":"%2"})")
        .arg(memberId, status)
        .toUtf8();
}

} // namespace traytooltest
