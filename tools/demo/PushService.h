#pragma once
// The demo push service: on 127.0.0.1 (port 40008 unless --push-port says
// otherwise) it accepts the tray tool's lines, one JSON object per line,
// answers a login (status "2") with status "0" and a keep-alive (status "4")
// with "4", and logs every line it receives. On command (see PushControl.h)
// it pushes sample messages of types 110, 111, 113 and 116, or raw text, and
// forces members off line with status "20".

#include "DemoService.h"
#include "PushControl.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QTcpServer>
#include <map>
#include <memory>

class QTcpSocket;

class PushService : public DemoService {
public:
    PushService();
    ~PushService() override;

    void addOptions(QCommandLineParser& parser) override;
    bool start(const QCommandLineParser& parser, DemoLog& log) override;

private:
    struct Connection {
        QByteArray pending;  // bytes after the last complete line
        QString memberId;    // from its first status line
        QString peer;
    };

    void accept();
    void receive(QTcpSocket* socket);
    void handleLine(QTcpSocket* socket, const QByteArray& line);
    void drop(QTcpSocket* socket);

    QJsonObject runCommand(const PushCommand& command);
    // Writes `bytes` to every connection of `memberId` (all when empty);
    // returns how many were reached.
    int sendTo(const QString& memberId, const QByteArray& bytes);

    QTcpServer m_server;
    std::map<QTcpSocket*, Connection> m_connections;
    std::unique_ptr<PushControl> m_control;
    DemoLog* m_log = nullptr;
    int m_nextId = 1001;
};
