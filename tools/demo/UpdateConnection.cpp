#include "UpdateConnection.h"

#include "DemoLog.h"

#include <QFileInfo>
#include <QTcpSocket>

namespace {

const QString kService = "update";
constexpr qsizetype kMaxRequestBytes = 16 * 1024;
constexpr qint64 kChunkBytes = 256 * 1024;
constexpr qint64 kQueuedBytes = 1024 * 1024;

QByteArray contentType(const QString& path)
{
    return path.endsWith(".xml", Qt::CaseInsensitive) ? "text/xml" : "application/octet-stream";
}

// The request as the log shows it; the target as it came, percent escapes
// and all.
QString requestText(const QByteArray& method, const QByteArray& target)
{
    return QString::fromUtf8(method) + " " + QString::fromUtf8(target);
}

} // namespace

QString servedFilePath(const QString& root, const QByteArray& target)
{
    QByteArray path = target;
    const qsizetype query = path.indexOf('?');
    if (query >= 0)
        path.truncate(query);
    if (!path.startsWith('/'))
        return {};
    const QByteArray decoded = QByteArray::fromPercentEncoding(path);
    if (decoded.contains('\\') || decoded.contains('\0'))
        return {};
    QStringList parts;
    for (const QByteArray& part : decoded.split('/')) {
        if (part.isEmpty())
            continue;
        if (part == "." || part == "..")
            return {};
        parts << QString::fromUtf8(part);
    }
    if (parts.isEmpty())
        return {};
    const QFileInfo file(root + "/" + parts.join('/'));
    if (!file.isFile())
        return {};
    const QString canonical = file.canonicalFilePath();
    return canonical.startsWith(root + "/") ? canonical : QString();
}

UpdateConnection::UpdateConnection(QTcpSocket* socket, const QString& root, DemoLog& log)
    : QObject(socket), m_socket(socket), m_root(root), m_log(log)
{
    connect(socket, &QTcpSocket::readyRead, this, &UpdateConnection::readRequest);
    connect(socket, &QTcpSocket::bytesWritten, this, &UpdateConnection::sendMoreBody);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void UpdateConnection::readRequest()
{
    if (m_answered) {
        m_socket->readAll();  // one request per connection
        return;
    }
    m_request += m_socket->readAll();
    const qsizetype headerEnd = m_request.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        if (m_request.size() > kMaxRequestBytes)
            answerText(431, "Request Header Fields Too Large", "?", "?");
        return;
    }
    const QList<QByteArray> requestLine = m_request.left(m_request.indexOf("\r\n")).split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1.")) {
        answerText(400, "Bad Request", "?", "?");
        return;
    }
    answer(requestLine[0], requestLine[1]);
}

void UpdateConnection::answer(const QByteArray& method, const QByteArray& target)
{
    if (method != "GET" && method != "HEAD") {
        answerText(405, "Method Not Allowed", method, target);
        return;
    }
    const QString path = servedFilePath(m_root, target);
    m_file.setFileName(path);
    if (path.isEmpty() || !m_file.open(QIODevice::ReadOnly)) {
        answerText(404, "Not Found", method, target);
        return;
    }
    m_answered = true;
    const qint64 size = m_file.size();
    m_socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + contentType(path) +
                    "\r\nContent-Length: " + QByteArray::number(size) +
                    "\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n");
    m_log.write(kService, requestText(method, target) + " 200 " + QString::number(size) + " bytes");
    m_bodyLeft = method == "HEAD" ? 0 : size;
    sendMoreBody();
}

void UpdateConnection::answerText(int status, const QByteArray& reason, const QByteArray& method,
                                  const QByteArray& target)
{
    m_answered = true;
    const QByteArray body = QByteArray::number(status) + " " + reason + "\n";
    m_socket->write("HTTP/1.1 " + QByteArray::number(status) + " " + reason +
                    "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(body.size()) +
                    "\r\nConnection: close\r\n\r\n" + (method == "HEAD" ? QByteArray() : body));
    m_log.write(kService, requestText(method, target) + " " + QString::number(status));
    m_socket->disconnectFromHost();
}

// Keeps about a megabyte queued on the socket, so a large file never sits
// in memory as a whole.
void UpdateConnection::sendMoreBody()
{
    if (!m_answered || !m_file.isOpen())
        return;
    while (m_bodyLeft > 0 && m_socket->bytesToWrite() < kQueuedBytes) {
        const QByteArray chunk = m_file.read(qMin(kChunkBytes, m_bodyLeft));
        if (chunk.isEmpty()) {
            m_log.write(kService, "read error: " + m_file.fileName());
            m_socket->abort();
            return;
        }
        m_bodyLeft -= chunk.size();
        m_socket->write(chunk);
    }
    if (m_bodyLeft == 0) {
        m_file.close();
        m_socket->disconnectFromHost();
    }
}
