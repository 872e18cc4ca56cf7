// The real tray tool against the demo push service (tolvan-demo), commanded
// through its HTTP control endpoint.
#include "TrayToolInstallation.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

using traytooltest::TrayToolInstallation;

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// GET http://127.0.0.1:port/path; the answer's body, parsed.
QJsonObject command(quint16 port, const QByteArray& path)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (socket.waitForReadyRead(5000))
        answer += socket.readAll();
    answer += socket.readAll();
    return QJsonDocument::fromJson(answer.mid(answer.indexOf("\r\n\r\n") + 4)).object();
}

TEST(DemoPushService, LogsTheTrayToolInPushesAndForcesItOffLine)
{
    TrayToolInstallation tray;
    const quint16 pushPort = freePort();
    const quint16 controlPort = freePort();
    tray.writeInstallConfig("pushUrl=127.0.0.1\nPort=" + std::to_string(pushPort) + "\nversion=4.4.0\n");
    testsupport::RunningProgram demo(TOLVAN_DEMO_PROGRAM,
                                     {"--push-port", QString::number(pushPort), "--push-control-port",
                                      QString::number(controlPort)});
    ASSERT_TRUE(demo.waitForLine("listening on 127.0.0.1:" + std::to_string(pushPort)));

    ASSERT_TRUE(tray.setClientState(1));
    auto program = tray.start({"C100;U200"});
    ASSERT_TRUE(demo.waitForLine("is member U200", 20000));
    ASSERT_TRUE(demo.waitForLine(R"("status":"0")"));  // the login was accepted

    const QJsonObject pushed = command(controlPort, "/push?type=113&member=U200");
    ASSERT_EQ(pushed.value("sent").toInt(), 1) << QJsonDocument(pushed).toJson().toStdString();
    const std::string id = pushed.value("id").toString().toStdString();
    ASSERT_TRUE(demo.waitForLine("acknowledged " + id));
    EXPECT_NE(tray.log().find("附近有新的寄件订单"), std::string::npos);

    ASSERT_EQ(command(controlPort, "/offline?member=U200").value("sent").toInt(), 1);
    ASSERT_TRUE(demo.waitForLine("disconnected (U200)"));
    ASSERT_TRUE(tray.waitForLogEntries(QString::fromUtf8("tcp 连接断开!"), 1));
    EXPECT_EQ(command(controlPort, "/nothing").value("error").toString(), "unknown command");
    TrayToolInstallation::expectStillRunning(*program);
}

} // namespace
