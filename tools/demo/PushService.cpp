#include "PushService.h"

#include "DemoLog.h"
#include "PushMessages.h"

#include <QCommandLineOption>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>

namespace {

const QString kName = QStringLiteral("push");
const QCommandLineOption kPortOption("push-port", "Push service port (default 40008, 0: any free port).", "port", "40008");
const QCommandLineOption kControlPortOption(
    "push-control-port", "HTTP control port of the push service (default 40009, 0 = none).", "port",
    "40009");

QJsonObject failure(const QString& error) { return {{"ok", false}, {"error", error}}; }

// The status of a received line: "2" and "4" as text, 3 as a number.
QString statusOf(const QJsonObject& line)
{
    const QJsonValue status = line.value("status");
    return status.isDouble() ? QString::number(status.toInt()) : status.toString();
}

} // namespace

PushService::PushService()
    : m_control(std::make_unique<PushControl>([this](const PushCommand& c) { return runCommand(c); }))
{
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
}

PushService::~PushService() = default;

void PushService::addOptions(QCommandLineParser& parser)
{
    parser.addOption(kPortOption);
    parser.addOption(kControlPortOption);
}

bool PushService::start(const QCommandLineParser& parser, DemoLog& log)
{
    m_log = &log;
    bool portOk = false, controlOk = false;
    const int port = parser.value(kPortOption).toInt(&portOk);
    const int controlPort = parser.value(kControlPortOption).toInt(&controlOk);
    if (!portOk || port < 0 || port > 0xFFFF || !controlOk || controlPort < 0 || controlPort > 0xFFFF) {
        log.write(kName, "bad port");
        return false;
    }
    if (!m_server.listen(QHostAddress::LocalHost, quint16(port))) {
        log.write(kName, QString("cannot listen on 127.0.0.1:%1: %2").arg(port).arg(m_server.errorString()));
        return false;
    }
    if (!m_control->listen(quint16(controlPort))) {
        log.write(kName, QString("cannot listen for control on 127.0.0.1:%1").arg(controlPort));
        return false;
    }
    m_control->readStandardInput();
    log.write(kName, QString("listening on 127.0.0.1:%1").arg(m_server.serverPort()));
    if (controlPort != 0)
        log.write(kName, QString("control on http://127.0.0.1:%1/").arg(m_control->port()));
    return true;
}

void PushService::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        Connection& connection = m_connections[socket];
        connection.peer = QString("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
        m_log->write(kName, connection.peer + " connected");
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { receive(socket); });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] { drop(socket); });
    }
}

void PushService::drop(QTcpSocket* socket)
{
    auto found = m_connections.find(socket);
    if (found != m_connections.end()) {
        m_log->write(kName, found->second.peer + " disconnected" +
                                (found->second.memberId.isEmpty() ? QString()
                                                                  : " (" + found->second.memberId + ")"));
        m_connections.erase(found);
    }
    socket->deleteLater();
}

void PushService::receive(QTcpSocket* socket)
{
    auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    found->second.pending += socket->readAll();
    qsizetype end;
    while ((end = found->second.pending.indexOf('\n')) >= 0) {
        const QByteArray line = found->second.pending.left(end);
        found->second.pending.remove(0, end + 1);
        handleLine(socket, line);
    }
}

void PushService::handleLine(QTcpSocket* socket, const QByteArray& line)
{
    Connection& connection = m_connections[socket];
    m_log->write(kName, connection.peer + " received " + QString::fromUtf8(line));
    const QJsonObject object = QJsonDocument::fromJson(line).object();
    const QString memberId = object.value("memberId").toString();
    const QString status = statusOf(object);
    if (status == "2" || status == "4") {
        if (connection.memberId.isEmpty() && !memberId.isEmpty()) {
            connection.memberId = memberId;
            m_log->write(kName, connection.peer + " is member " + memberId);
        }
        // A login is accepted with "0", a keep-alive answered with "4".
        const QByteArray reply = demo::statusReply(memberId, status == "2" ? "0" : "4");
        socket->write(reply);
        m_log->write(kName, connection.peer + " sent " + QString::fromUtf8(reply));
    } else if (status == "3") {
        m_log->write(kName, connection.peer + " acknowledged " + object.value("id").toString());
    }
}

int PushService::sendTo(const QString& memberId, const QByteArray& bytes)
{
    int reached = 0;
    for (auto& [socket, connection] : m_connections) {
        if (!memberId.isEmpty() && connection.memberId != memberId)
            continue;
        socket->write(bytes);
        socket->flush();
        m_log->write(kName, connection.peer + " sent " + QString::fromUtf8(bytes));
        ++reached;
    }
    return reached;
}

QJsonObject PushService::runCommand(const PushCommand& command)
{
    const QString member = command.arguments.value("member");
    if (command.verb == "push") {
        const QString type = command.arguments.value("type");
        if (!demo::isKnownPushType(type))
            return failure("unknown type (110, 111, 113 or 116)");
        const QString id = QString::number(m_nextId++);
        // Each connection gets the message with its own member identity.
        int reached = 0;
        for (auto& [socket, connection] : m_connections) {
            if (!member.isEmpty() && connection.memberId != member)
                continue;
            const QByteArray message = demo::pushedMessage(
                connection.memberId, type, id, command.arguments.value("taskNum"));
            socket->write(message);
            socket->flush();
            m_log->write(kName, connection.peer + " sent " + QString::fromUtf8(message));
            ++reached;
        }
        return {{"ok", true}, {"sent", reached}, {"id", id}};
    }
    if (command.verb == "offline") {
        int reached = 0;
        for (auto& [socket, connection] : m_connections) {
            if (!member.isEmpty() && connection.memberId != member)
                continue;
            const QByteArray reply = demo::statusReply(connection.memberId, "20");
            socket->write(reply);
            socket->flush();
            m_log->write(kName, connection.peer + " sent " + QString::fromUtf8(reply));
            ++reached;
        }
        return {{"ok", true}, {"sent", reached}};
    }
    if (command.verb == "send") {
        if (command.body.isEmpty())
            return failure("nothing to send");
        return {{"ok", true}, {"sent", sendTo(member, command.body)}};
    }
    if (command.verb == "members") {
        QJsonArray members;
        for (const auto& [socket, connection] : m_connections)
            members.append(QJsonObject{{"peer", connection.peer}, {"memberId", connection.memberId}});
        return {{"ok", true}, {"members", members}};
    }
    return failure("unknown command");
}
