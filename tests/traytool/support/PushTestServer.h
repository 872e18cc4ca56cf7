#pragma once
// A stand-in push service for tests: a TCP server on 127.0.0.1 that records
// every connection and the lines it receives, and writes whatever the test
// asks for. Runs on the test's Qt event loop (testsupport::waitUntil turns it).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <vector>

namespace traytooltest {

struct ServerConnection {
    QTcpSocket* socket = nullptr;
    QByteArray pending;
    std::vector<QByteArray> lines;  // each with its line feed
    bool closed = false;
};

class PushTestServer {
public:
    PushTestServer();
    ~PushTestServer();

    // Listens on 127.0.0.1:port (any free port when 0).
    bool listen(quint16 port = 0);
    void stopListening();
    quint16 port() const { return m_port; }

    int connectionCount() const { return int(m_connections.size()); }
    ServerConnection& connection(int index) { return *m_connections.at(std::size_t(index)); }
    ServerConnection& last() { return *m_connections.back(); }
    void write(const QByteArray& bytes);  // to the newest connection
    void closeConnection();               // the newest connection

    bool waitForConnections(int count, int timeoutMs = 15000);
    bool waitForLines(int count, int timeoutMs = 15000);  // on the newest connection
    bool waitForClose(int timeoutMs = 15000);             // of the newest connection

private:
    QTcpServer m_server;
    quint16 m_port = 0;
    std::vector<std::unique_ptr<ServerConnection>> m_connections;
};

// The status reply the service sends: {"channelNo":"05","memberId":M,"status":S}.
QByteArray statusReply(const QString& status, const QString& memberId = QStringLiteral("U200"));

} // namespace traytooltest
