#include "traytool/push/SocketToService.h"

#include "platform/HostName.h"
#include "traytool/core/CookieStore.h"
#include "traytool/core/Log.h"
#include "traytool/core/ProcessState.h"
#include "traytool/push/PushDefaults.h"
#include "traytool/push/PushLines.h"
#include "traytool/push/PushParser.h"

#include <QDebug>
#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr int kLoggingInPeriodMs = 3000;
constexpr int kLoggedInPeriodMs = 5000;
constexpr int kConnectWaitMs = 1000;

void writeLog(const QString& message) { CLog::instance()->writeLog(message); }

// The port configured, or 0 when the text is not a port number.
int portNumber(const QString& text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    return ok && port > 0 && port <= 0xFFFF ? port : 0;
}

// A received text ends at its first zero byte.
QString receivedText(const QByteArray& bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? bytes : bytes.left(zero));
}

} // namespace

CSocketToService::CSocketToService(QObject* parent) : CSocketToService(CConfigure(), parent) {}

CSocketToService::CSocketToService(const CConfigure& config, QObject* parent)
    : QObject(parent), m_config(config)
{
    m_pTcpSocket = new QTcpSocket(this);
    m_pTimer = new QTimer(this);
    connect(m_pTimer, &QTimer::timeout, this, &CSocketToService::newConnect);
    m_pTimer->start(kLoggingInPeriodMs);

    m_strMemberId = m_config.getUsername();
    if (m_strMemberId.isEmpty())
        m_strMemberId = QString::fromLatin1(push::kDefaultMemberId);
    buildStatusLine(push::kStatusLogin);

    m_strHost = m_config.getPushUrl();
    if (m_strHost.isEmpty()) {
        m_strHost = QString::fromLatin1(push::kDefaultPushHost);
        m_config.setPushUrl(m_strHost);
    }
    m_nPort = portNumber(m_config.getPort());
    if (m_nPort == 0) {
        m_nPort = push::kDefaultPushPort;
        m_config.setPort(QString::number(m_nPort));
    }

    connect(m_pTcpSocket, &QTcpSocket::connected, this, &CSocketToService::sendMessage);
    connect(m_pTcpSocket, &QTcpSocket::readyRead, this, &CSocketToService::readMessage);
    connect(m_pTcpSocket, &QTcpSocket::disconnected, this, &CSocketToService::disconneced);

    m_strCookieDbPath = CCookieStore::clientCookieDatabasePath();
    m_pCookieStore = std::make_unique<CCookieStore>(m_strCookieDbPath);

    m_bFirstLogin = true;
    loadVersion();
    loadComputerName();
}

CSocketToService::~CSocketToService()
{
    // Closed without a word to the service, and without running our slots.
    m_pTcpSocket->disconnect(this);
    m_pTcpSocket->abort();
}

void CSocketToService::buildStatusLine(const QString& status)
{
    if (m_strVersion.isEmpty())
        loadVersion();
    if (m_strComputerName.isEmpty())
        loadComputerName();
    m_strSendLine = push::statusLine({m_strMemberId, m_strVersion, m_strComputerName}, status);
}

void CSocketToService::buildAckLine(const QString& id)
{
    if (m_strVersion.isEmpty())
        loadVersion();
    if (m_strComputerName.isEmpty())
        loadComputerName();
    m_strSendLine = push::ackLine({m_strMemberId, m_strVersion, m_strComputerName}, id);
}

void CSocketToService::loadVersion()
{
    m_strVersion = m_config.getVersion();
    if (m_strVersion.isEmpty())
        m_strVersion = QString::fromLatin1(push::kUnknownVersion);
}

void CSocketToService::loadComputerName()
{
    // There is no socket library to start here (the Windows build logged its
    // start-up and clean-up failures); a failed query leaves the name empty.
    m_strComputerName = QString::fromUtf8(platform::hostName());
}

void CSocketToService::onExceptionLogin()
{
    emit signOffLine(true);
    m_strReconnectMark = QStringLiteral("1");
}

void CSocketToService::newConnect()
{
    if (m_strHost.isEmpty())
        return;
    if (traytool::reloginRequest() == 1) {
        m_bConnected = false;
        m_strServerState = QStringLiteral("41");
        traytool::setReloginRequest(0);
    }
    if (m_bConnected) {
        sendMessage();
        return;
    }
    const QString clientState = traytool::clientStateText();
    if (m_strServerState == QLatin1String("20") || clientState == QLatin1String("0") ||
        clientState == QLatin1String("2")) {
        // The cookie only decides whether the skipped attempt is logged.
        if (!m_pCookieStore->hasSignOnCookie())
            writeLog(QStringLiteral("tcp 不建立连接!\n"));
        return;
    }
    if (clientState == QLatin1String("3")) {
        writeLog(QStringLiteral("tcp 异常登录!\n"));
        onExceptionLogin();
        return;
    }

    m_pTcpSocket->abort();
    m_framer.reset();
    m_pTcpSocket->connectToHost(m_strHost, quint16(m_nPort), QIODevice::ReadWrite);
    // connected() runs sendMessage() inside the wait.
    if (m_pTcpSocket->waitForConnected(kConnectWaitMs)) {
        writeLog(QStringLiteral("tcp 已经重新连接!\n"));
        qDebug("Connected!");
        traytool::setClientStateText(QStringLiteral("1"));
        emit signOffLine(false);
        m_bConnected = true;
        return;
    }
    // The attempt is over: a connection completing later would be one the
    // next tick tears down again.
    m_pTcpSocket->abort();
    emit signOffLine(true);
    m_strReconnectMark = QStringLiteral("1");
}

void CSocketToService::sendMessage()
{
    if (m_strReconnectMark == QLatin1String("1") && !m_bFirstLogin) {
        buildStatusLine(push::kStatusLogin);
        m_strReconnectMark = QStringLiteral("0");
    }
    if (m_pTcpSocket->state() == QAbstractSocket::ConnectedState)
        m_pTcpSocket->write(m_strSendLine.toUtf8());
    writeLog(QStringLiteral("发送心跳："));
    writeLog(m_strSendLine);
}

void CSocketToService::readMessage()
{
    // Replies that arrive while we are closing the connection ourselves
    // (after a "20") are not acted on.
    if (m_pTcpSocket->state() == QAbstractSocket::ClosingState) {
        m_pTcpSocket->readAll();
        return;
    }
    m_strServerState.clear();
    const QByteArray bytes = m_pTcpSocket->readAll();
    const QString text = QString::fromUtf8(QByteArray(bytes).replace('\0', QByteArray()));
    writeLog(QStringLiteral("SiteSystem接收到信息："));
    writeLog(text);
    if (text.isEmpty())
        return;

    const push::PushFramer::Result framed = m_framer.feed(bytes);
    if (framed.droppedOverlong)
        writeLog(QStringLiteral("接收的数据超过1MB仍不完整，已丢弃!"));
    for (const QByteArray& object : framed.objects) {
        if (m_strServerState == QLatin1String("20"))
            break;  // forced off line earlier in this read: the rest is dropped
        handleReceivedObject(receivedText(object));
    }
}

void CSocketToService::handleReceivedObject(const QString& text)
{
    if (text.isEmpty())
        return;
    if (!CPushParser::isPushedMessage(text)) {
        handleStatusReply(text);
        return;
    }
    // The popup gets the message before the acknowledgement is written.
    buildAckLine(CPushParser::readField(text, QStringLiteral("id")));
    emit signPushInfo(text);
    sendMessage();
    buildStatusLine(push::kStatusKeepAlive);
}

void CSocketToService::handleStatusReply(const QString& text)
{
    CPushParser reply;
    reply.parseStatusReply(text);
    const QString status = reply.status();
    if (status == QLatin1String("0")) {
        m_pTimer->stop();
        buildStatusLine(push::kStatusKeepAlive);
        m_bFirstLogin = false;
        m_pTimer->start(kLoggedInPeriodMs);
    } else if (status == QLatin1String("4")) {
        buildStatusLine(push::kStatusKeepAlive);
    } else if (status == QLatin1String("20")) {
        emit signOffLine(true);
        m_strServerState = QStringLiteral("20");
        m_pTcpSocket->close();  // its disconnection runs disconneced()
    }
}

void CSocketToService::disconneced()
{
    m_bConnected = false;
    m_framer.reset();
    writeLog(QStringLiteral("tcp 连接断开!"));
    if (m_strServerState == QLatin1String("20"))
        emit signPushInfo(QStringLiteral("下线"));
    emit signOffLine(true);
}

void CSocketToService::slotBreakConnect1(bool)
{
    writeLog(QStringLiteral("退出登录断开连接!关闭Socket!"));
    m_pTcpSocket->close();
}
