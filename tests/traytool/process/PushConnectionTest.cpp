// The real tray tool's push connection, with the client's login state played
// through the shared memory "tolvan" and a TCP server of the test as the push
// service.
#include "PushTestServer.h"
#include "TrayToolInstallation.h"

#include "platform/HostName.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <gtest/gtest.h>

namespace {

using traytooltest::PushTestServer;
using traytooltest::statusReply;
using traytooltest::TrayToolInstallation;

const QString kSkipped = QString::fromUtf8("tcp 不建立连接!");

class PushConnectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        m_tray.writeInstallConfig("pushUrl=127.0.0.1\nPort=" + std::to_string(m_server.port()) +
                                  "\nversion=4.4.0\n");
    }

    // Starts the tray tool with the client reporting `state`.
    void start(int state, const QStringList& arguments = {"C100;U200"})
    {
        ASSERT_TRUE(m_tray.setClientState(state));
        m_program = m_tray.start(arguments);
        ASSERT_TRUE(m_tray.waitForLogEntries(QString::fromUtf8("程序启动!"), 1));
    }

    // Waits until `ticks` more timer ticks have passed without an attempt.
    void waitForSkippedTicks(int ticks)
    {
        const int before = m_tray.countLogEntries(kSkipped);
        ASSERT_TRUE(m_tray.waitForLogEntries(kSkipped, before + ticks, 30000)) << m_tray.log();
    }

    void TearDown() override
    {
        if (m_program)
            TrayToolInstallation::expectStillRunning(*m_program);
    }

    PushTestServer m_server;
    TrayToolInstallation m_tray;
    std::unique_ptr<testsupport::RunningProgram> m_program;
};

TEST_F(PushConnectionTest, LogsInWhileTheClientReportsALoginAndKeepsTheLineAlive)
{
    start(0);
    waitForSkippedTicks(2);  // nothing while no user has logged in
    ASSERT_TRUE(m_tray.setClientState(2));
    waitForSkippedTicks(1);  // nor while logged out
    EXPECT_EQ(m_server.connectionCount(), 0);

    ASSERT_TRUE(m_tray.setClientState(1));
    ASSERT_TRUE(m_server.waitForConnections(1));
    ASSERT_TRUE(m_server.waitForLines(1));
    const std::string computer = platform::hostName();
    EXPECT_EQ(m_server.last().lines[0].toStdString(),
              R"({"channelNo":"05","memberId":"U200","version":"4.4.0","computerName":")" + computer +
                  R"(","status":"2"})" "\n");
    ASSERT_TRUE(m_tray.waitForLogEntries(QString::fromUtf8("tcp 已经重新连接!\n"), 1));

    // Accepted: keep-alives with status "4" (every 5 seconds; the benchmark
    // and the log show the rhythm, tests assert no timings).
    m_server.write(statusReply("0"));
    ASSERT_TRUE(m_server.waitForLines(3, 20000));
    const auto& lines = m_server.last().lines;
    const std::string keepAlive =
        R"({"channelNo":"05","memberId":"U200","version":"4.4.0","computerName":")" + computer +
        R"(","status":"4"})" "\n";
    EXPECT_EQ(lines[1].toStdString(), keepAlive);
    EXPECT_EQ(lines[2].toStdString(), keepAlive);

    // A pushed message is acknowledged before the next keep-alive.
    m_server.write(R"({"channelNo":"05","memberId":"U200","id":77,"documentId":"D1","status":"1",)"
                   R"("pushType":"1","type":"113","title":"新的抢单消息","content":"附近有新订单"})");
    ASSERT_TRUE(m_server.waitForLines(5, 20000));
    EXPECT_EQ(lines[3].toStdString(),
              R"({"channelNo":"05","memberId":"U200","id":"77","version":"4.4.0","computerName":")" +
                  computer + R"(","status":3})" "\n");
    EXPECT_EQ(lines[4].toStdString(), keepAlive);
    EXPECT_GE(m_tray.countLogEntries(QString::fromUtf8("SiteSystem接收到信息：")), 2);
    EXPECT_NE(m_tray.log().find("附近有新订单"), std::string::npos);
    EXPECT_GE(m_tray.countLogEntries(QString::fromUtf8("发送心跳：")), 5);

    // Logout in the client: the connection closes and stays closed.
    ASSERT_TRUE(m_tray.setClientState(2));
    ASSERT_TRUE(m_server.waitForClose(10000));
    ASSERT_TRUE(m_tray.waitForLogEntries(QString::fromUtf8("退出登录断开连接!关闭Socket!"), 1));
    ASSERT_TRUE(m_tray.waitForLogEntries(QString::fromUtf8("tcp 连接断开!"), 1));
    waitForSkippedTicks(1);
    // The logout line repeats every second while the client stays logged out.
    ASSERT_TRUE(m_tray.waitForLogEntries(QString::fromUtf8("退出登录断开连接!关闭Socket!"), 3));
    EXPECT_EQ(m_server.connectionCount(), 1);
}

TEST_F(PushConnectionTest, ForcedOffLineStopsReconnection)
{
    start(1);
    ASSERT_TRUE(m_server.waitForConnections(1));
    ASSERT_TRUE(m_server.waitForLines(1));
    m_server.write(statusReply("0"));
    m_server.write(statusReply("20"));
    ASSERT_TRUE(m_server.waitForClose(10000));
    ASSERT_TRUE(m_tray.waitForLogEntries(QString::fromUtf8("tcp 连接断开!"), 1));
    // The client still reports the login, but no attempt follows.
    waitForSkippedTicks(2);
    EXPECT_EQ(m_server.connectionCount(), 1);
}

TEST_F(PushConnectionTest, DefaultsStandInForPortZeroAnEmptyVersionAndNoUsername)
{
    PushTestServer defaultPort;
    const bool listening = defaultPort.listen(40008);
    m_tray.writeInstallConfig("pushUrl=127.0.0.1\nPort=0\nversion=\n");
    start(1, {});  // started without an identity, none stored
    ASSERT_TRUE(testsupport::waitUntil([&] {
        return testsupport::readFile(m_tray.installConfigPath()).find("Port=40008") != std::string::npos;
    }));
    if (!listening)
        GTEST_SKIP() << "port 40008 is taken on this machine; only the written value was checked";
    ASSERT_TRUE(defaultPort.waitForConnections(1));
    ASSERT_TRUE(defaultPort.waitForLines(1));
    const QByteArray login = defaultPort.last().lines[0];
    EXPECT_NE(login.indexOf(R"("memberId":")" TOLVAN_DEFAULT_MEMBER_ID R"(")"), -1) << login.toStdString();
    EXPECT_NE(login.indexOf(R"("version":"new")"), -1) << login.toStdString();
}

} // namespace
