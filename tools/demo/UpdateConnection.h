#pragma once
// One connection to the demo update server: reads one request, answers it
// from the served folder, closes. Lives as a child of its socket.

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

class DemoLog;
class QTcpSocket;

class UpdateConnection : public QObject {
    Q_OBJECT
public:
    UpdateConnection(QTcpSocket* socket, const QString& root, DemoLog& log);

private:
    void readRequest();
    void answer(const QByteArray& method, const QByteArray& target);
    void answerText(int status, const QByteArray& reason, const QByteArray& method, const QByteArray& target);
    void sendMoreBody();

    QTcpSocket* m_socket;
    QString m_root;
    DemoLog& m_log;
    QByteArray m_request;
    bool m_answered = false;
    QFile m_file;
    qint64 m_bodyLeft = 0;
};

// The file below `root` that a request target names; empty when it names
// none: a target that is not an absolute path, or whose decoded path has a
// "." or ".." part, a '\' or a NUL, or that leads (through links) outside
// `root`, names nothing.
QString servedFilePath(const QString& root, const QByteArray& target);
