// The tray icon's states: on line, off line, blinking; its menu and log lines.
#include "traytool/core/Log.h"
#include "traytool/core/ProcessState.h"
#include "traytool/notify/MenuBase.h"
#include "traytool/notify/TraySite.h"

#include "TestSupport.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {

const QString kOnLine = CTraySite::kOnLineIcon;
const QString kOffLine = CTraySite::kOffLineIcon;
const QString kBlank = CTraySite::kBlinkDarkIcon;

int logCount(const QString& message)
{
    return QString::fromStdString(testsupport::readFile(CLog::defaultFilePath().toStdString()))
        .count("Lines: " + message + "\n");
}

TEST(TraySite, StartsOnLineWithItsMenuAndTooltip)
{
    CTraySite tray;
    EXPECT_EQ(tray.currentImage(), kOnLine);
    EXPECT_FALSE(tray.isOffLine());
    EXPECT_FALSE(tray.isBlinking());
    EXPECT_EQ(tray.toolTip(), QString::fromUtf8("Tolvan-站长管理系统"));
    EXPECT_EQ(tray.contextMenu(), tray.menu());
    const auto actions = tray.menu()->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QString::fromUtf8("重新登录"));
    EXPECT_EQ(actions[1]->text(), QString::fromUtf8("退出"));
    EXPECT_FALSE(actions[0]->isVisible());
    EXPECT_EQ(actions[0]->property("canHideMenu").toString(), "true");
    EXPECT_FALSE(actions[1]->property("canHideMenu").isValid());
    EXPECT_FALSE(actions[1]->icon().isNull());
}

TEST(TraySite, StartedWithoutIdentityShowsGreyButIsNotOffLine)
{
    traytool::setStartMode(traytool::kStartWithoutIdentity);
    CTraySite tray;
    traytool::setStartMode(traytool::kStartWithIdentity);
    EXPECT_EQ(tray.currentImage(), kOffLine);
    EXPECT_FALSE(tray.isOffLine());
    EXPECT_FALSE(tray.reloginAction()->isVisible());
}

TEST(TraySite, BlinksBetweenBlankAndLitAndARestartBeginsBlank)
{
    CTraySite tray;
    tray.slotBubbleShow(true);
    EXPECT_TRUE(tray.isBlinking());
    // The timer drives the steps: the first one blanks the icon.
    ASSERT_TRUE(testsupport::waitUntil([&] { return tray.blinkCount() >= 1; }));
    tray.slotBubbleShow(true);
    EXPECT_EQ(tray.blinkCount(), 0);
    tray.updateIcon();
    EXPECT_EQ(tray.currentImage(), kBlank);
    EXPECT_TRUE(QPixmap(kBlank).isNull());  // there is no such image
    tray.updateIcon();
    EXPECT_EQ(tray.currentImage(), kOnLine);
    tray.updateIcon();
    EXPECT_EQ(tray.currentImage(), kBlank);

    tray.slotBubbleShow(false);
    EXPECT_FALSE(tray.isBlinking());
    EXPECT_EQ(tray.blinkCount(), 0);
    EXPECT_EQ(tray.currentImage(), kOnLine);
}

TEST(TraySite, OffLineStopsBlinkingAndLitPhaseStaysTheOnLineImage)
{
    CTraySite tray;
    tray.slotBubbleShow(true);
    tray.updateIcon();
    tray.slotOffLine(true);
    EXPECT_FALSE(tray.isBlinking());
    EXPECT_EQ(tray.blinkCount(), 1);  // stopped, not reset
    EXPECT_EQ(tray.currentImage(), kOffLine);
    EXPECT_TRUE(tray.reloginAction()->isVisible());

    // A message while off line blinks with the on-line image.
    tray.slotBubbleShow(true);
    tray.updateIcon();
    tray.updateIcon();
    EXPECT_EQ(tray.currentImage(), kOnLine);
    tray.slotBubbleShow(false);
    EXPECT_EQ(tray.currentImage(), kOffLine);
}

TEST(TraySite, OnLineDuringBlinkingLeavesItBlinking)
{
    CTraySite tray;
    tray.slotOffLine(true);
    tray.slotBubbleShow(true);
    tray.slotOffLine(false);
    EXPECT_TRUE(tray.isBlinking());
    EXPECT_FALSE(tray.reloginAction()->isVisible());
    tray.slotBubbleShow(false);
    EXPECT_EQ(tray.currentImage(), kOnLine);
}

TEST(TraySite, EveryLineStateCallWritesItsLogLine)
{
    const QString grey = QString::fromUtf8("离线托盘图片变灰!");
    const QString bright = QString::fromUtf8("在线托盘图片变亮!");
    const int greyBefore = logCount(grey);
    const int brightBefore = logCount(bright);
    CTraySite tray;
    for (int i = 0; i < 3; ++i)
        tray.slotOffLine(true);
    tray.slotOffLine(false);
    EXPECT_EQ(logCount(grey), greyBefore + 3);
    EXPECT_EQ(logCount(bright), brightBefore + 1);
    EXPECT_EQ(tray.currentImage(), kOnLine);
}

TEST(TraySite, HoverBoxIsTheTopLeft24PixelsStrictlyInside)
{
    const QRect icon(100, 740, 48, 48);  // larger than the box
    struct Case {
        QPoint pointer;
        bool inside;
    };
    const Case cases[] = {
        {{101, 741}, true},  {{123, 763}, true},  {{100, 750}, false}, {{110, 740}, false},
        {{124, 750}, false}, {{110, 764}, false}, {{130, 770}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CTraySite::isPointerOnIcon(c.pointer, icon), c.inside)
            << c.pointer.x() << "," << c.pointer.y();
    // An icon shown nowhere has no box.
    EXPECT_FALSE(CTraySite::isPointerOnIcon(QPoint(5, 5), QRect()));
}

} // namespace
