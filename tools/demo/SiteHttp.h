#pragma once
// The demo site system's HTTP: one request per connection, answered and
// closed. Enough HTTP/1.1 for a browser: request line, headers, a body with
// Content-Length, cookies, form and query values.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>

class QTcpSocket;

struct SiteRequest {
    QByteArray method;
    QString path;                   // decoded, without the query
    QMap<QString, QString> query;   // decoded
    QMap<QString, QString> form;    // an url-encoded POST body, decoded
    QMap<QByteArray, QByteArray> headers;  // names in lower case
    QString cookie(const QString& name) const;
};

struct SiteResponse {
    int status = 200;
    QByteArray contentType = "text/html; charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;

    static SiteResponse redirect(const QString& location);
};

QByteArray reasonPhrase(int status);
// "a=1&b=%E7%AB%99" to its decoded values ('+' is a blank).
QMap<QString, QString> parseUrlEncoded(const QByteArray& text);

// Reads one request from the socket, hands it to the handler and writes the
// answer. Lives as a child of its socket.
class SiteConnection : public QObject {
public:
    using Handler = std::function<SiteResponse(const SiteRequest&)>;
    SiteConnection(QTcpSocket* socket, Handler handler);

private:
    void readRequest();
    void answer(const SiteResponse& response);

    QTcpSocket* m_socket;
    Handler m_handler;
    QByteArray m_received;
    bool m_answered = false;
};
