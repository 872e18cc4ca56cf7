#pragma once
// How the demo push service is commanded, both from its standard input (one
// command per line) and over HTTP on 127.0.0.1 (--push-control-port, 40009
// unless set; 0 turns it off):
//
//   stdin                              HTTP
//   push <type> [member=M] [taskNum=N] GET  /push?type=113&member=M&taskNum=N
//   offline [member=M]                 GET  /offline?member=M
//   send [member=M] <text>             POST /send?member=M   (body: the bytes)
//   members                            GET  /members
//
// Without a member a command reaches every connected tray tool. Each command
// answers with one JSON object, e.g. {"ok":true,"sent":1,"id":"1001"}.

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QTcpServer>
#include <functional>
#include <memory>

class QSocketNotifier;

struct PushCommand {
    QString verb;                     // push, offline, send, members
    QMap<QString, QString> arguments; // type, member, taskNum
    QByteArray body;                  // send: the bytes to write
};

// A command line as typed on standard input; an empty verb when blank.
PushCommand parseCommandLine(const QString& line);

class PushControl {
public:
    using Handler = std::function<QJsonObject(const PushCommand&)>;

    explicit PushControl(Handler handler);
    ~PushControl();

    // Listens for HTTP commands on 127.0.0.1:port (none when 0).
    bool listen(quint16 port);
    quint16 port() const { return m_http.serverPort(); }
    // Reads commands from standard input until it ends.
    void readStandardInput();

private:
    void serve();

    Handler m_handler;
    QTcpServer m_http;
    std::unique_ptr<QSocketNotifier> m_stdin;
    QByteArray m_stdinPending;
};
