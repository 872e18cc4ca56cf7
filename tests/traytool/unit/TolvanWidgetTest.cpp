// The notification popup in this process: its states, texts and sound, the
// client-state poll, and its buttons against a real stand-in for the client's
// window (tolvanctl listen) in the same per-logon runtime folder.
#include "traytool/core/Configure.h"
#include "traytool/core/ProcessState.h"
#include "traytool/notify/PushSound.h"
#include "traytool/notify/TolvanWidget.h"
#include "traytool/notify/TolvanWidgetItem.h"

#include "platform/SharedMemory.h"
#include "shared/SharedRegions.h"
#include "shared/SiteAddresses.h"
#include "shared/WindowTitles.h"

#include "ScopedEnvironment.h"
#include "TestSupport.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

QString message(const QString& type, const QString& extra = {})
{
    return R"({"channelNo":"05","memberId":"U200","id":7,"type":")" + type +
           R"(","title":"新任务","subtitle":"驿站","content":"您有新的任务")" + extra + "}";
}

class TolvanWidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::writeFile(m_folder.file("configure.ini"), "[LinkInfo]\n" + m_installLines);
        m_environment.set("PATH", m_folder.path());
        traytool::setClientStateText("0");
        traytool::setReloginRequest(0);
    }

    // Creates the popup; the regions that exist now are the ones it gets.
    void createPopup()
    {
        CConfigure config(QString::fromStdString(m_folder.file("configure.ini")),
                          QString::fromStdString(m_folder.file("user.ini")));
        m_popup = std::make_unique<CTolvanWidget>(config);
        m_popup->setReferenceSize(470, 217);
        m_bubble = std::make_unique<QSignalSpy>(m_popup.get(), &CTolvanWidget::signBubble);
    }

    QString text(const char* label) const { return m_popup->findChild<QLabel*>(label)->text(); }
    QLabel* label(const char* name) const { return m_popup->findChild<QLabel*>(name); }
    QPushButton* actionButton() const { return m_popup->findChild<QPushButton*>("m_pBtn"); }

    void tick(int times)
    {
        for (int i = 0; i < times; ++i)
            m_popup->slotUpdateShow();
    }

    testsupport::ScopedRuntimeFolder m_runtime;
    testsupport::TempFolder m_folder{"traytool-popup"};
    // With no client window the popup starts "TolvanClient" from its own
    // folder or PATH; none may be found from this test program.
    traytooltest::ScopedEnvironment m_environment;
    std::string m_installLines = "grabUrl=http://127.0.0.1/grab?a=1&b=抢单\ntaskTakeUrl=http://127.0.0.1/task\n";
    std::unique_ptr<CTolvanWidget> m_popup;
    std::unique_ptr<QSignalSpy> m_bubble;
};

TEST_F(TolvanWidgetTest, TaskMessageShowsInTheLowerRightCornerWithItsCountRow)
{
    createPopup();
    EXPECT_FALSE(m_popup->isVisible());
    m_popup->slotTolvanPushInfo(message("110", R"(,"taskNum":5)"));
    ASSERT_TRUE(m_popup->isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(m_popup->pos(), QPoint(screen.width() - 425, screen.height() - 158 - 43));
    EXPECT_EQ(m_popup->size(), QSize(420, 158));
    EXPECT_TRUE(m_popup->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(m_popup->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(m_popup->titleBar()->height(), 30);

    EXPECT_EQ(text("m_pTitleLabel"), QString::fromUtf8("新任务"));
    EXPECT_EQ(text("m_pSubTitleLabel"), QString::fromUtf8("[驿站]"));
    EXPECT_EQ(text("m_pContensDownLabel"), QString::fromUtf8("您有新的任务"));
    EXPECT_EQ(text("label"), QString::fromUtf8("待处理任务数:"));
    EXPECT_EQ(text("m_pCountLabel"), QString::fromUtf8("5个"));
    EXPECT_TRUE(label("m_pCountLabel")->isVisible());
    EXPECT_FALSE(label("label_2")->isVisible());
    EXPECT_EQ(actionButton()->size(), QSize(60, 17));
    EXPECT_EQ(label("m_pTitleLabel")->font().pointSize(), 13);
    EXPECT_TRUE(label("m_pTitleLabel")->font().bold());
    EXPECT_EQ(label("m_pCountLabel")->palette().color(QPalette::WindowText), QColor("#fe673e"));
    EXPECT_EQ(m_bubble->count(), 1);
    EXPECT_TRUE(m_bubble->at(0).at(0).toBool());
    EXPECT_TRUE(m_popup->isAutoHideRunning());

    // Another type: no count row, no brackets without a subtitle.
    m_popup->slotTolvanPushInfo(R"({"type":"116","title":"中标","content":"订单已归您"})");
    EXPECT_FALSE(label("m_pCountLabel")->isVisible());
    EXPECT_FALSE(label("label")->isVisible());
    EXPECT_EQ(text("m_pSubTitleLabel"), QString());
}

TEST_F(TolvanWidgetTest, HidesOnTheEleventhTickAndANewMessageStartsTheCountAgain)
{
    createPopup();
    m_popup->slotTolvanPushInfo(message("113"));
    tick(7);
    m_popup->slotTolvanPushInfo(message("113"));
    EXPECT_EQ(m_popup->showTicks(), 0);
    tick(10);
    EXPECT_TRUE(m_popup->isVisible());
    tick(1);
    EXPECT_FALSE(m_popup->isVisible());
    EXPECT_FALSE(m_popup->isAutoHideRunning());
    EXPECT_EQ(m_popup->showTicks(), 0);
    // Hidden by time: the tray keeps blinking.
    for (const auto& call : *m_bubble)
        EXPECT_TRUE(call.at(0).toBool());

    // The pointer on the blinking icon shows it again for another round.
    m_popup->slotMouseEnter();
    EXPECT_TRUE(m_popup->isVisible());
    EXPECT_TRUE(m_popup->isAutoHideRunning());
    tick(4);
    m_popup->slotMouseEnter();  // visible: nothing changes
    EXPECT_EQ(m_popup->showTicks(), 4);
    tick(7);
    EXPECT_FALSE(m_popup->isVisible());
}

TEST_F(TolvanWidgetTest, CloseHidesAndEndsTheBlinking)
{
    createPopup();
    m_popup->slotTolvanPushInfo(message("113"));
    QTest::mouseClick(m_popup->findChild<QPushButton*>("closeButton"), Qt::LeftButton);
    EXPECT_FALSE(m_popup->isVisible());
    EXPECT_FALSE(m_popup->isAutoHideRunning());
    ASSERT_EQ(m_bubble->count(), 2);
    EXPECT_FALSE(m_bubble->at(1).at(0).toBool());
}

TEST_F(TolvanWidgetTest, NoTasksLeftHidesATaskMessageOnly)
{
    createPopup();
    m_popup->slotTolvanPushInfo(message("111", R"(,"taskNum":"3")"));
    m_popup->slotTolvanPushInfo(message("111", R"(,"taskNum":"0")"));
    EXPECT_FALSE(m_popup->isVisible());
    EXPECT_TRUE(m_popup->isAutoHideRunning());  // left as it was
    EXPECT_EQ(m_bubble->count(), 1);

    // Hidden, "0" with another type: shown, without the auto-hide.
    m_popup->slotCloseBtn(false);
    m_popup->slotTolvanPushInfo(message("116", R"(,"taskNum":"0")"));
    EXPECT_TRUE(m_popup->isVisible());
    EXPECT_FALSE(m_popup->isAutoHideRunning());
}

TEST_F(TolvanWidgetTest, TitleOnlyMessageShowsTheTitleLargeInTheContentLine)
{
    createPopup();
    m_popup->slotTolvanPushInfo(R"({"type":"120","title":"系统维护通知","content":""})");
    EXPECT_EQ(text("m_pContensDownLabel"), QString::fromUtf8("系统维护通知"));
    EXPECT_EQ(text("m_pTitleLabel"), QString());
    EXPECT_EQ(label("m_pContensDownLabel")->font().pointSize(), 13);
    EXPECT_TRUE(label("m_pContensDownLabel")->font().bold());
    m_popup->slotTolvanPushInfo(message("113"));
    EXPECT_EQ(label("m_pContensDownLabel")->font().pointSize(), 10);
    EXPECT_FALSE(label("m_pContensDownLabel")->font().bold());

    // Text without an object but with "content" shows empty texts.
    m_popup->slotTolvanPushInfo("content?");
    EXPECT_EQ(text("m_pContensDownLabel"), QString());
    // Anything else is ignored.
    m_popup->slotCloseBtn(false);
    m_popup->slotTolvanPushInfo(R"({"status":"4"})");
    EXPECT_FALSE(m_popup->isVisible());
}

TEST_F(TolvanWidgetTest, ForcedLogOffNoticeOnlyWhileHiddenAndAMessageReplacesIt)
{
    createPopup();
    m_popup->slotTolvanPushInfo(message("113"));
    m_popup->slotTolvanPushInfo(QString::fromUtf8("下线"));
    EXPECT_EQ(text("m_pTitleLabel"), QString::fromUtf8("新任务"));  // dropped

    m_popup->slotCloseBtn(false);
    const int bubbles = m_bubble->count();
    m_popup->slotTolvanPushInfo(QString::fromUtf8("下线"));
    ASSERT_TRUE(m_popup->isVisible());
    EXPECT_EQ(text("m_pTitleLabel"), QString::fromUtf8("您的账号在另一地点登录,您被迫下线"));
    EXPECT_EQ(text("m_pContensDownLabel"), QString::fromUtf8("如果这不是您本人操作,那么您的密码可能已经泄露,"));
    EXPECT_TRUE(label("label_2")->isVisible());
    EXPECT_EQ(text("label_2"), QString::fromUtf8("建议您修改密码。"));
    EXPECT_EQ(actionButton()->size(), QSize(94, 30));
    EXPECT_FALSE(m_popup->findChild<QWidget*>("line")->isVisible());
    EXPECT_FALSE(m_popup->isAutoHideRunning());
    EXPECT_EQ(m_bubble->count(), bubbles);
    // With no client running the logout page goes to a new client; its
    // default address is stored.
    EXPECT_NE(testsupport::readFile(m_folder.file("configure.ini")).find("logoutUrl=" + tolvan::siteAddress(tolvan::kLogoutPath)),
              std::string::npos);

    m_popup->slotTolvanPushInfo(message("113"));
    EXPECT_EQ(actionButton()->size(), QSize(60, 17));
    EXPECT_TRUE(m_popup->findChild<QWidget*>("line")->isVisible());
    EXPECT_FALSE(label("label_2")->isVisible());
    EXPECT_FALSE(m_popup->isAutoHideRunning());  // it was visible
}

TEST_F(TolvanWidgetTest, BiddingMessagePlaysTheSoundWhileTheSwitchIsOn)
{
    auto sound = platform::SharedMemory::createOrOpen(std::string(tolvan::kSoundRegion));
    ASSERT_TRUE(sound.isValid());
    tolvan::writeSoundSwitch(sound.data(), 0);
    createPopup();
    m_popup->slotTolvanPushInfo(message("113"));
    EXPECT_TRUE(m_popup->isVisible());
    EXPECT_EQ(m_popup->sound()->playCount(), 0);
    tolvan::writeSoundSwitch(sound.data(), 1);
    m_popup->slotTolvanPushInfo(message("113"));
    m_popup->slotTolvanPushInfo(message("113"));
    m_popup->slotTolvanPushInfo(message("116"));
    EXPECT_EQ(m_popup->sound()->playCount(), 2);
}

TEST_F(TolvanWidgetTest, RegionsMissingAtTheStartStayOffForTheRun)
{
    createPopup();
    auto sound = platform::SharedMemory::createOrOpen(std::string(tolvan::kSoundRegion));
    auto state = platform::SharedMemory::createOrOpen(std::string(tolvan::kClientStateRegion));
    tolvan::writeSoundSwitch(sound.data(), 1);
    tolvan::writeClientState(state.data(), 2);
    QSignalSpy offLine(m_popup.get(), &CTolvanWidget::signOfforOnLine);
    m_popup->slotTolvanPushInfo(message("113"));
    m_popup->slotLoginState();
    EXPECT_EQ(m_popup->sound()->playCount(), 0);
    EXPECT_EQ(offLine.count(), 0);
    EXPECT_EQ(traytool::clientStateText(), "0");
}

TEST_F(TolvanWidgetTest, StatePollPublishesTheStateAndRepeatsTheLogout)
{
    auto state = platform::SharedMemory::createOrOpen(std::string(tolvan::kClientStateRegion));
    tolvan::writeClientState(state.data(), 1);
    createPopup();
    QSignalSpy offLine(m_popup.get(), &CTolvanWidget::signOfforOnLine);
    // The poll runs by itself every second.
    ASSERT_TRUE(testsupport::waitUntil([] { return traytool::clientStateText() == "1"; }));
    EXPECT_EQ(offLine.count(), 0);
    tolvan::writeClientState(state.data(), 2);
    ASSERT_TRUE(testsupport::waitUntil([&] { return offLine.count() >= 2; }, std::chrono::seconds(20)));
    EXPECT_TRUE(offLine.at(0).at(0).toBool());
    EXPECT_EQ(traytool::clientStateText(), "2");
    tolvan::writeClientState(state.data(), 3);
    m_popup->slotLoginState();
    EXPECT_EQ(traytool::clientStateText(), "3");
}

// The stand-in client window: tolvanctl prints one JSON line per message.
class ClientStandIn {
public:
    ClientStandIn()
        : m_program(testsupport::binDir() + "/tolvanctl",
                    {"listen", QString::fromUtf8(tolvan::kClientWindowTitle.data())})
    {
    }
    bool ready() { return m_program.waitForLine("\"ready\"").has_value(); }
    // The next line that is a message (not a show request).
    QJsonObject nextMessage()
    {
        while (auto line = m_program.readLine(15000)) {
            const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(*line)).object();
            if (object.contains("msg"))
                return object;
            m_requests.push_back(object);
        }
        return {};
    }
    const std::vector<QJsonObject>& requests() const { return m_requests; }

private:
    testsupport::RunningProgram m_program;
    std::vector<QJsonObject> m_requests;
};

TEST_F(TolvanWidgetTest, DetailButtonSendsThePageOfTheTypeToTheClientWindow)
{
    ClientStandIn client;
    ASSERT_TRUE(client.ready());
    createPopup();
    m_popup->slotTolvanPushInfo(message("113"));
    QTest::mouseClick(actionButton(), Qt::LeftButton);
    const QJsonObject copy = client.nextMessage();
    const QByteArray page = QByteArray("http://127.0.0.1/grab?a=1&b=") + QString::fromUtf8("抢单").toUtf8();
    EXPECT_EQ(copy.value("msg").toInt(), 0x4A);
    EXPECT_EQ(copy.value("wParam").toInt(), 0);
    EXPECT_EQ(copy.value("dwData").toInt(), 0);
    EXPECT_EQ(copy.value("cbData").toInt(), page.size());
    EXPECT_EQ(copy.value("hex").toString().toLatin1(), page.toHex());
    // The hidden client window was shown maximised first.
    ASSERT_FALSE(client.requests().empty());
    EXPECT_EQ(client.requests().front().value("request").toString(), "show");
    EXPECT_EQ(client.requests().front().value("cmd").toInt(), 3);
    // The popup is done with; the tray stops blinking.
    EXPECT_FALSE(m_popup->isVisible());
    EXPECT_FALSE(m_bubble->last().at(0).toBool());

    // A type outside the table sends an empty page.
    m_popup->slotTolvanPushInfo(message("130"));
    QTest::mouseClick(actionButton(), Qt::LeftButton);
    const QJsonObject empty = client.nextMessage();
    EXPECT_EQ(empty.value("msg").toInt(), 0x4A);
    EXPECT_EQ(empty.value("cbData").toInt(), 0);
}

TEST_F(TolvanWidgetTest, ForcedLogOffOpensTheLogoutPageAndReloginTheExpPage)
{
    m_installLines = "logoutUrl=http://127.0.0.1/out\n";
    SetUp();
    ClientStandIn client;
    ASSERT_TRUE(client.ready());
    createPopup();
    m_popup->slotTolvanPushInfo(QString::fromUtf8("下线"));
    EXPECT_EQ(client.nextMessage().value("text").toString(), "http://127.0.0.1/out");
    EXPECT_TRUE(m_popup->isVisible());  // the notice stays

    QTest::mouseClick(actionButton(), Qt::LeftButton);
    EXPECT_EQ(client.nextMessage().value("text").toString().toStdString(), tolvan::kSiteRoot);
    EXPECT_NE(testsupport::readFile(m_folder.file("configure.ini")).find("expUrl=" + std::string(tolvan::kSiteRoot)),
              std::string::npos);
    EXPECT_EQ(traytool::reloginRequest(), 1);
    EXPECT_FALSE(m_popup->isVisible());
}

} // namespace
