#pragma once
// The push client: keeps the site's member logged in to the push service over
// TCP while the client reports a logged-in user.
//
// One timer drives it: every 3000 ms (5000 ms once the service has accepted a
// login) it either sends the current line on the open connection, or, while
// the client state text is "1" and the service has not forced the member off
// line, makes one connection attempt of at most 1000 ms (the GUI thread waits
// meanwhile). A new connection sends the current line at once: the login line
// (status "2") at first, keep-alives (status "4") after the service's "0".
// Every pushed message is handed on with signPushInfo and then acknowledged
// (status 3 with its id) before the next keep-alive. The reply "20" closes the
// connection and keeps it closed until the user asks to log in again.

#include "traytool/core/Configure.h"
#include "traytool/push/PushFramer.h"

#include <QObject>
#include <QString>
#include <memory>
#include <string>

class CCookieStore;
class QTcpSocket;
class QTimer;

class CSocketToService : public QObject {
    Q_OBJECT

public:
    explicit CSocketToService(QObject* parent = nullptr);
    // Another installation's configuration (tools and tests).
    CSocketToService(const CConfigure& config, QObject* parent);
    ~CSocketToService() override;

    // Store a new line in m_strSendLine, sent by the next sendMessage().
    void buildStatusLine(const QString& status);
    void buildAckLine(const QString& id);
    void loadVersion();
    void loadComputerName();
    void onExceptionLogin();

    QString host() const { return m_strHost; }
    int port() const { return m_nPort; }

signals:
    // A pushed message (one JSON object as text), or "下线" after the service
    // forced this member off line.
    void signPushInfo(QString strPushInfo);
    // true = off line, false = on line.
    void signOffLine(bool bFlag);

public slots:
    void readMessage();
    void sendMessage();
    void newConnect();
    void disconneced();
    // The client reports a logout: close the connection. The argument is
    // ignored.
    void slotBreakConnect1(bool bFlag);

private:
    void handleReceivedObject(const QString& text);
    void handleStatusReply(const QString& text);

    QString m_strHost;
    int m_nPort = 0;
    QTcpSocket* m_pTcpSocket = nullptr;
    bool m_bConnected = false;
    QTimer* m_pTimer = nullptr;
    QString m_strSendLine;
    QString m_strMemberId;
    CConfigure m_config;
    QString m_strServerState;
    QString m_strReconnectMark;
    QString m_strVersion;
    QString m_strComputerName;
    bool m_bFirstLogin = true;
    std::string m_strCookieDbPath;
    std::unique_ptr<CCookieStore> m_pCookieStore;
    push::PushFramer m_framer;
};
