// The push client in this process against a TCP server of the test, for what
// a real run cannot drive from outside: several objects in one read, cut-off
// objects, the relogin request, a failed attempt before a reconnection, and
// the exception login.
#include "traytool/push/SocketToService.h"

#include "traytool/core/Configure.h"
#include "traytool/core/Log.h"
#include "traytool/core/ProcessState.h"

#include "PushTestServer.h"
#include "TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <memory>

namespace {

using traytooltest::PushTestServer;
using traytooltest::statusReply;

QString statusOf(const QByteArray& line)
{
    const QJsonValue status = QJsonDocument::fromJson(line).object().value("status");
    return status.isDouble() ? QString::number(status.toInt()) : status.toString();
}

QString idOf(const QByteArray& line)
{
    return QJsonDocument::fromJson(line).object().value("id").toString();
}

int logEntries(const QString& message)
{
    const std::string log = testsupport::readFile(CLog::defaultFilePath().toStdString());
    return QString::fromStdString(log).count("Lines: " + message);
}

class SocketToServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        testsupport::writeFile(m_folder.file("configure.ini"),
                               "[LinkInfo]\npushUrl=127.0.0.1\nPort=" + std::to_string(m_server.port()) +
                                   "\nversion=4.4.0\n");
        testsupport::writeFile(m_folder.file("user.ini"), "[LinkInfo]\nusername=U200\ncompId=C100\n");
        traytool::setClientStateText("1");
        traytool::setReloginRequest(0);
    }

    void TearDown() override { traytool::setClientStateText("0"); }

    void startClient()
    {
        CConfigure config(QString::fromStdString(m_folder.file("configure.ini")),
                          QString::fromStdString(m_folder.file("user.ini")));
        m_client = std::make_unique<CSocketToService>(config, nullptr);
        QObject::connect(m_client.get(), &CSocketToService::signPushInfo,
                         [this](const QString& text) { m_pushed << text; });
        QObject::connect(m_client.get(), &CSocketToService::signOffLine,
                         [this](bool offLine) { m_offLine << offLine; });
    }

    // Connects and logs in: the login line arrives and is answered with "0".
    void logIn()
    {
        ASSERT_TRUE(m_server.waitForConnections(1));
        ASSERT_TRUE(m_server.waitForLines(1));
        EXPECT_EQ(statusOf(m_server.last().lines[0]), "2");
        m_server.write(statusReply("0"));
    }

    testsupport::TempFolder m_folder{"push-client-test"};
    PushTestServer m_server;
    std::unique_ptr<CSocketToService> m_client;
    QStringList m_pushed;
    QList<bool> m_offLine;
};

TEST_F(SocketToServiceTest, EveryObjectOfOneReadIsHandledInOrder)
{
    startClient();
    ASSERT_TRUE(m_server.waitForConnections(1));
    ASSERT_TRUE(m_server.waitForLines(1));
    const QByteArray first = R"({"channelNo":"05","memberId":"U200","id":"101","type":"113","content":"抢单"})";
    const QByteArray second = R"({"id":77,"type":"116","content":"成功","taskNum":1})";
    // The login reply and two messages in one write, then a message in two.
    m_server.write(statusReply("0") + first + "\n" + second);
    ASSERT_TRUE(m_server.waitForLines(3));
    const QByteArray third = R"({"id":"103","type":"110","content":"任务 {\"x\"}","taskNum":"3"})";
    m_server.write(third.left(20));
    m_server.write(third.mid(20));
    ASSERT_TRUE(m_server.waitForLines(4));

    EXPECT_EQ(m_pushed, (QStringList{QString::fromUtf8(first), QString::fromUtf8(second),
                                     QString::fromUtf8(third)}));
    const auto& lines = m_server.last().lines;
    EXPECT_EQ(idOf(lines[1]), "101");
    EXPECT_EQ(idOf(lines[2]), "77");
    EXPECT_EQ(idOf(lines[3]), "103");
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(statusOf(lines[std::size_t(i)]), "3");
    // The login reply was acted on too: keep-alives now say "4".
    ASSERT_TRUE(m_server.waitForLines(5, 15000));
    EXPECT_EQ(statusOf(lines[4]), "4");
}

TEST_F(SocketToServiceTest, ForcedOffLineHoldsUntilTheUserAsksToLogInAgain)
{
    startClient();
    ASSERT_TRUE(m_server.waitForConnections(1));
    ASSERT_TRUE(m_server.waitForLines(1));
    m_server.write(statusReply("20"));
    ASSERT_TRUE(m_server.waitForClose());
    EXPECT_EQ(m_pushed, QStringList{QString::fromUtf8("下线")});
    ASSERT_FALSE(m_offLine.isEmpty());
    EXPECT_TRUE(m_offLine.last());

    // The client still reports a login, yet two ticks pass without an attempt.
    const int skipped = logEntries(QString::fromUtf8("tcp 不建立连接!"));
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return logEntries(QString::fromUtf8("tcp 不建立连接!")) >= skipped + 2; },
        std::chrono::seconds(20)));
    EXPECT_EQ(m_server.connectionCount(), 1);

    traytool::setReloginRequest(1);
    ASSERT_TRUE(m_server.waitForConnections(2));
    EXPECT_EQ(traytool::reloginRequest(), 0);
    ASSERT_TRUE(m_server.waitForLines(1));
    EXPECT_EQ(statusOf(m_server.last().lines[0]), "2");
    EXPECT_FALSE(m_offLine.last());
}

TEST_F(SocketToServiceTest, AReconnectionAfterAFailedAttemptLogsInAgain)
{
    startClient();
    logIn();
    ASSERT_TRUE(m_server.waitForLines(2, 15000));
    EXPECT_EQ(statusOf(m_server.last().lines[1]), "4");

    // The service goes away for a tick, then comes back on the same port.
    const quint16 port = m_server.port();
    m_server.stopListening();
    m_server.closeConnection();
    ASSERT_TRUE(m_server.waitForClose());
    const int offLineSignals = int(m_offLine.count(true));
    ASSERT_TRUE(testsupport::waitUntil([&] { return m_offLine.count(true) >= offLineSignals + 2; },
                                       std::chrono::seconds(20)));  // disconnection, failed attempt
    ASSERT_TRUE(m_server.listen(port));
    ASSERT_TRUE(m_server.waitForConnections(2, 20000));
    ASSERT_TRUE(m_server.waitForLines(1));
    EXPECT_EQ(statusOf(m_server.last().lines[0]), "2");
}

TEST_F(SocketToServiceTest, AnExceptionLoginMakesNoAttempt)
{
    traytool::setClientStateText("3");
    const int before = logEntries(QString::fromUtf8("tcp 异常登录!"));
    startClient();
    ASSERT_TRUE(testsupport::waitUntil([&] { return !m_offLine.isEmpty(); }, std::chrono::seconds(15)));
    EXPECT_TRUE(m_offLine.last());
    EXPECT_EQ(logEntries(QString::fromUtf8("tcp 异常登录!")), before + 1);
    EXPECT_EQ(m_server.connectionCount(), 0);

    traytool::setClientStateText("1");
    logIn();
}

} // namespace
