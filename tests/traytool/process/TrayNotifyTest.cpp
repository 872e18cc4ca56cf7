// The real tray tool on a desktop of its own, used as a user would: pushed
// messages from a test push service, clicks on the popup and on the tray icon
// and its menu, tolvanctl standing in for the client's window, a stand-in
// TolvanClient program beside the tray tool.
#include "DesktopSession.h"
#include "PushTestServer.h"
#include "TrayToolInstallation.h"

#include "shared/WindowTitles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

using traytooltest::DesktopSession;
using traytooltest::PushTestServer;
using traytooltest::statusReply;
using traytooltest::TrayToolInstallation;

const QSize kPopupSize(420, 158);
const std::string kGrabPage = "http://127.0.0.1/express/grab?from=tray&name=抢单";

// Where the popup's action button is, from the popup's bottom-right corner:
// the body's right margin (16) and the popup's frame (1) on the right; the
// count row's bottom margin (6), the body's bottom margin (9) and the frame
// (1) below.
QPoint actionButtonCentre(const QRect& popup, QSize button)
{
    return {popup.x() + popup.width() - 1 - 16 - button.width() / 2,
            popup.y() + popup.height() - 1 - 9 - 6 - button.height() / 2};
}
const QSize kDetailButton(60, 17);
const QSize kReloginButton(94, 30);

QByteArray pushedMessage(const QString& type, int id)
{
    return R"({"channelNo":"05","memberId":"U200","id":)" + QByteArray::number(id) +
           R"(,"status":"1","type":")" + type.toUtf8() +
           R"(","title":"新的抢单消息","subtitle":"寄件订单","content":"附近有新的寄件订单","taskNum":"2"})";
}

// The client's window: tolvanctl prints one JSON line per message or request.
class ClientWindowStandIn {
public:
    ClientWindowStandIn()
        : m_program(testsupport::binDir() + "/tolvanctl",
                    {"listen", QString::fromUtf8(tolvan::kClientWindowTitle.data())})
    {
    }
    bool ready() { return m_program.waitForLine("\"ready\"", 20000).has_value(); }
    // The next line, as an object; empty when none came.
    QJsonObject next(int timeoutMs = 20000)
    {
        const auto line = m_program.readLine(timeoutMs);
        return line ? QJsonDocument::fromJson(QByteArray::fromStdString(*line)).object() : QJsonObject();
    }
    // Skips show requests up to the next message.
    QJsonObject nextMessage()
    {
        for (QJsonObject line = next(); !line.isEmpty(); line = next()) {
            if (line.contains("msg"))
                return line;
        }
        return {};
    }
    testsupport::RunningProgram& program() { return m_program; }

private:
    testsupport::RunningProgram m_program;
};

class TrayNotifyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!m_desktop.failure().empty())
            GTEST_SKIP() << m_desktop.failure();
        ASSERT_TRUE(m_server.listen());
        m_tray.writeInstallConfig("pushUrl=127.0.0.1\nPort=" + std::to_string(m_server.port()) +
                                  "\nversion=4.4.0\ngrabUrl=" + kGrabPage +
                                  "\nsuccGrabUrl=http://127.0.0.1/express/won\n"
                                  "logoutUrl=http://127.0.0.1/express/userInfo/loginout\n"
                                  "expUrl=http://127.0.0.1/express/login\n");
        // The pointer rests away from the tray icon.
        ASSERT_TRUE(m_desktop.movePointer(QPoint(600, 300)));
    }

    void TearDown() override
    {
        if (m_program && m_expectRunning)
            TrayToolInstallation::expectStillRunning(*m_program);
    }

    // Starts the tray tool with a logged-in client, docks its icon and lets
    // the push service accept its login.
    void startLoggedIn()
    {
        ASSERT_TRUE(m_tray.setClientState(1));
        m_program = m_tray.start({"C100;U200"});
        ASSERT_TRUE(m_desktop.waitForDockedIcon()) << m_program->standardError();
        ASSERT_TRUE(m_server.waitForConnections(1, 30000));
        ASSERT_TRUE(m_server.waitForLines(1, 30000));
        m_server.write(statusReply("0"));
    }

    std::optional<QRect> waitForPopup()
    {
        if (!m_desktop.waitForVisibleWindow(m_program->pid(), kPopupSize, true))
            return std::nullopt;
        return m_desktop.visibleWindow(m_program->pid(), kPopupSize);
    }

    QPoint trayIcon() const { return DesktopSession::kFirstTrayIcon.center(); }

    TrayToolInstallation m_tray;
    DesktopSession m_desktop;
    PushTestServer m_server;
    std::unique_ptr<testsupport::RunningProgram> m_program;
    bool m_expectRunning = true;
};

TEST_F(TrayNotifyTest, DetailButtonOfABiddingMessageSendsItsPageToTheClientWindow)
{
    ClientWindowStandIn client;
    ASSERT_TRUE(client.ready());
    startLoggedIn();
    m_server.write(pushedMessage("113", 501));
    const auto popup = waitForPopup();
    ASSERT_TRUE(popup) << "no popup";
    // Lower right corner: 5 pixels from the right edge, 43 above the bottom.
    EXPECT_EQ(popup->topLeft(), QPoint(DesktopSession::kScreenSize.width() - 425,
                                       DesktopSession::kScreenSize.height() - 158 - 43));

    ASSERT_TRUE(m_desktop.click(actionButtonCentre(*popup, kDetailButton)));
    const QJsonObject copy = client.nextMessage();
    EXPECT_EQ(copy.value("msg").toInt(), 0x4A);
    EXPECT_EQ(copy.value("wParam").toInt(), 0);
    EXPECT_EQ(copy.value("dwData").toInt(), 0);
    EXPECT_EQ(copy.value("cbData").toInt(), int(kGrabPage.size()));
    EXPECT_EQ(copy.value("hex").toString().toStdString(), QByteArray::fromStdString(kGrabPage).toHex().toStdString());
    EXPECT_TRUE(m_desktop.waitForVisibleWindow(m_program->pid(), kPopupSize, false));
}

TEST_F(TrayNotifyTest, WithoutAClientWindowTheClientProgramIsStartedWithThePage)
{
    m_tray.installClientStandIn();
    startLoggedIn();
    // A click on the icon starts the client on its start page.
    ASSERT_TRUE(m_desktop.click(trayIcon()));
    ASSERT_TRUE(testsupport::waitUntil([&] { return !m_tray.clientStarts().empty(); })) << "no start";
    EXPECT_EQ(m_tray.clientStarts(), "-\n");

    m_server.write(pushedMessage("116", 502));
    const auto popup = waitForPopup();
    ASSERT_TRUE(popup) << "no popup";
    ASSERT_TRUE(m_desktop.click(actionButtonCentre(*popup, kDetailButton)));
    ASSERT_TRUE(testsupport::waitUntil([&] { return m_tray.clientStarts().size() > 2; })) << "no start";
    EXPECT_EQ(m_tray.clientStarts(), "-\n-http://127.0.0.1/express/won\n");
}

TEST_F(TrayNotifyTest, ClickOnTheIconBringsTheClientForwardAndExitEndsBoth)
{
    ClientWindowStandIn client;
    ASSERT_TRUE(client.ready());
    startLoggedIn();
    // A single left click: the window is raised and shown maximised.
    ASSERT_TRUE(m_desktop.click(trayIcon()));
    EXPECT_EQ(client.next().value("request").toString(), "raise");
    const QJsonObject show = client.next();
    EXPECT_EQ(show.value("request").toString(), "show");
    EXPECT_EQ(show.value("cmd").toInt(), 3);

    // Right click: the menu opens at the pointer; "退出" is its only visible
    // item while on line (one row of 24 pixels below its 1-pixel frame).
    ASSERT_TRUE(m_desktop.click(trayIcon(), 3));
    ASSERT_TRUE(m_desktop.waitForWindowAt(m_program->pid(), trayIcon())) << "no menu";
    ASSERT_TRUE(m_desktop.click(trayIcon() + QPoint(50, 13)));
    const QJsonObject close = client.nextMessage();
    EXPECT_EQ(close.value("msg").toInt(), 0x10);
    EXPECT_EQ(close.value("wParam").toInt(), 1);
    EXPECT_TRUE(client.program().waitForExit(20000));
    m_expectRunning = false;
    ASSERT_TRUE(m_program->waitForExit(20000)) << "the tray tool still runs";
    EXPECT_EQ(m_program->exitCode(), 0);
}

TEST_F(TrayNotifyTest, PointerOnTheBlinkingIconShowsTheHiddenPopupAgain)
{
    startLoggedIn();
    m_server.write(pushedMessage("110", 503));
    ASSERT_TRUE(waitForPopup()) << "no popup";
    // Left alone it hides after about 11 seconds; the icon goes on blinking.
    ASSERT_TRUE(m_desktop.waitForVisibleWindow(m_program->pid(), kPopupSize, false, 40000));
    ASSERT_TRUE(m_desktop.movePointer(trayIcon()));
    EXPECT_TRUE(waitForPopup()) << "the popup did not come back";
}

TEST_F(TrayNotifyTest, ForcedOffLineShowsTheNoticeAndReloginLogsInAgain)
{
    ClientWindowStandIn client;
    ASSERT_TRUE(client.ready());
    startLoggedIn();
    m_server.write(statusReply("20"));
    // The notice sends the client to the logout page.
    EXPECT_EQ(client.nextMessage().value("text").toString(), "http://127.0.0.1/express/userInfo/loginout");
    const auto popup = waitForPopup();
    ASSERT_TRUE(popup) << "no notice";
    ASSERT_TRUE(m_server.waitForClose(20000));

    ASSERT_TRUE(m_desktop.click(actionButtonCentre(*popup, kReloginButton)));
    EXPECT_EQ(client.nextMessage().value("text").toString(), "http://127.0.0.1/express/login");
    // The relogin request lets the push client connect again.
    EXPECT_TRUE(m_server.waitForConnections(2, 30000));
}

} // namespace
