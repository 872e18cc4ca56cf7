#include "SiteHttp.h"

#include <QTcpSocket>
#include <QUrl>

namespace {

// Requests larger than this are refused; the site's forms are small.
constexpr qsizetype kMaxRequestBytes = 1 << 20;

QString decode(const QByteArray& text)
{
    QByteArray plus = text;
    plus.replace('+', ' ');
    return QUrl::fromPercentEncoding(plus);
}

} // namespace

QString SiteRequest::cookie(const QString& name) const
{
    const QByteArray header = headers.value("cookie");
    for (const QByteArray& part : header.split(';')) {
        const QByteArray pair = part.trimmed();
        const qsizetype equals = pair.indexOf('=');
        if (equals > 0 && QString::fromUtf8(pair.left(equals)) == name)
            return QString::fromUtf8(pair.mid(equals + 1));
    }
    return {};
}

SiteResponse SiteResponse::redirect(const QString& location)
{
    SiteResponse response;
    response.status = 302;
    response.headers.append({QByteArray("Location"), location.toUtf8()});
    return response;
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Payload Too Large";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

QMap<QString, QString> parseUrlEncoded(const QByteArray& text)
{
    QMap<QString, QString> values;
    for (const QByteArray& pair : text.split('&')) {
        if (pair.isEmpty())
            continue;
        const qsizetype equals = pair.indexOf('=');
        if (equals < 0)
            values.insert(decode(pair), QString());
        else
            values.insert(decode(pair.left(equals)), decode(pair.mid(equals + 1)));
    }
    return values;
}

SiteConnection::SiteConnection(QTcpSocket* socket, Handler handler)
    : QObject(socket), m_socket(socket), m_handler(std::move(handler))
{
    connect(socket, &QTcpSocket::readyRead, this, &SiteConnection::readRequest);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void SiteConnection::readRequest()
{
    if (m_answered)
        return;
    m_received += m_socket->readAll();
    if (m_received.size() > kMaxRequestBytes) {
        SiteResponse tooLarge;
        tooLarge.status = 413;
        answer(tooLarge);
        return;
    }
    const qsizetype headerEnd = m_received.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;

    const QList<QByteArray> lines = m_received.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    if (requestLine.size() != 3) {
        SiteResponse bad;
        bad.status = 400;
        answer(bad);
        return;
    }
    SiteRequest request;
    request.method = requestLine[0];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    const qsizetype bodyLength = request.headers.value("content-length", "0").toLongLong();
    const QByteArray body = m_received.mid(headerEnd + 4);
    if (bodyLength < 0 || bodyLength > kMaxRequestBytes) {
        SiteResponse bad;
        bad.status = 400;
        answer(bad);
        return;
    }
    if (body.size() < bodyLength)
        return;

    const QByteArray target = requestLine[1];
    const qsizetype question = target.indexOf('?');
    request.path = QUrl::fromPercentEncoding(target.left(question < 0 ? target.size() : question));
    if (question >= 0)
        request.query = parseUrlEncoded(target.mid(question + 1));
    if (request.headers.value("content-type").startsWith("application/x-www-form-urlencoded"))
        request.form = parseUrlEncoded(body.left(bodyLength));
    answer(m_handler(request));
}

void SiteConnection::answer(const SiteResponse& response)
{
    m_answered = true;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " " + reasonPhrase(response.status) + "\r\n";
    if (response.status != 204 && response.status != 302)
        head += "Content-Type: " + response.contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    head += "Cache-Control: no-store\r\nConnection: close\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    m_socket->write(head + "\r\n" + response.body);
    m_socket->disconnectFromHost();
}
