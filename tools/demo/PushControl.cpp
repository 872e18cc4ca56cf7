#include "PushControl.h"

#include <QJsonDocument>
#include <QSocketNotifier>
#include <QStringList>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

constexpr qsizetype kMaxRequestBytes = 4 * 1024 * 1024;

void answer(QTcpSocket* socket, int code, const QByteArray& body)
{
    const QByteArray reason = code == 200 ? "OK" : code == 404 ? "Not Found" : "Bad Request";
    socket->write("HTTP/1.1 " + QByteArray::number(code) + " " + reason +
                  "\r\nContent-Type: application/json; charset=utf-8\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
}

// A complete request in `data`: its command, or nothing while bytes are
// missing. `bad` tells a request that will never parse.
std::optional<PushCommand> parseRequest(const QByteArray& data, bool& bad)
{
    const qsizetype headerEnd = data.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        bad = data.size() > kMaxRequestBytes;
        return std::nullopt;
    }
    const QList<QByteArray> lines = data.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() < 2) {
        bad = true;
        return std::nullopt;
    }
    qsizetype length = 0;
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length")
            length = line.mid(colon + 1).trimmed().toLongLong();
    }
    if (length < 0 || length > kMaxRequestBytes) {
        bad = true;
        return std::nullopt;
    }
    if (data.size() < headerEnd + 4 + length)
        return std::nullopt;

    const QUrl url(QString::fromUtf8(requestLine.at(1)));
    PushCommand command;
    command.verb = url.path().mid(1);
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        command.arguments.insert(key, value);
    command.body = data.mid(headerEnd + 4, length);
    return command;
}

} // namespace

PushCommand parseCommandLine(const QString& line)
{
    PushCommand command;
    QString rest = line.trimmed();
    command.verb = rest.section(' ', 0, 0);
    rest = rest.section(' ', 1).trimmed();
    // push takes its type first; every command takes key=value words; send
    // takes the rest of the line as its text.
    if (command.verb == QLatin1String("push") && !rest.isEmpty()) {
        command.arguments.insert("type", rest.section(' ', 0, 0));
        rest = rest.section(' ', 1).trimmed();
    }
    while (!rest.isEmpty()) {
        const QString word = rest.section(' ', 0, 0);
        const qsizetype equals = word.indexOf('=');
        if (equals <= 0 || word.startsWith('{'))
            break;
        command.arguments.insert(word.left(equals), word.mid(equals + 1));
        rest = rest.section(' ', 1).trimmed();
    }
    if (command.verb == QLatin1String("send"))
        command.body = rest.toUtf8();
    return command;
}

PushControl::PushControl(Handler handler) : m_handler(std::move(handler))
{
    QObject::connect(&m_http, &QTcpServer::newConnection, &m_http, [this] { serve(); });
}

PushControl::~PushControl() = default;

bool PushControl::listen(quint16 port)
{
    return port == 0 || m_http.listen(QHostAddress::LocalHost, port);
}

void PushControl::serve()
{
    while (QTcpSocket* socket = m_http.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            const QByteArray data = socket->peek(socket->bytesAvailable());
            bool bad = false;
            const std::optional<PushCommand> command = parseRequest(data, bad);
            if (bad) {
                socket->readAll();
                answer(socket, 400, R"({"ok":false,"error":"bad request"})");
            } else if (command) {
                socket->readAll();
                const QJsonObject result = m_handler(*command);
                const int code = result.value("ok").toBool() ? 200
                                 : result.value("error").toString() == "unknown command" ? 404
                                                                                          : 400;
                answer(socket, code, QJsonDocument(result).toJson(QJsonDocument::Compact));
            }
        });
    }
}

void PushControl::readStandardInput()
{
    m_stdin = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(m_stdin.get(), &QSocketNotifier::activated, m_stdin.get(), [this] {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            m_stdin->setEnabled(false);  // standard input has ended
            return;
        }
        m_stdinPending.append(buffer, got);
        qsizetype end;
        while ((end = m_stdinPending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(m_stdinPending.left(end));
            m_stdinPending.remove(0, end + 1);
            const PushCommand command = parseCommandLine(line);
            if (command.verb.isEmpty())
                continue;
            const QByteArray result =
                QJsonDocument(m_handler(command)).toJson(QJsonDocument::Compact) + "\n";
            std::fwrite(result.constData(), 1, std::size_t(result.size()), stdout);
            std::fflush(stdout);
        }
    });
}
