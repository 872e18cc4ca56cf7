// The image button and the check-item menu.
#include "traytool/notify/ButtonBase.h"
#include "traytool/notify/MenuBase.h"

#include <QAction>
#include <QEnterEvent>
#include <QIcon>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void enter(QWidget& widget)
{
    QEnterEvent event(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(&widget, &event);
}

void leave(QWidget& widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

TEST(ButtonBase, StartsWithoutImageAndWhiteText)
{
    CButtonBase button;
    EXPECT_EQ(button.styleSheet(), "QPushButton{background-image:url();}");
    EXPECT_EQ(button.palette().color(QPalette::ButtonText), QColor(Qt::white));
}

TEST(ButtonBase, PointerSwitchesBetweenHoverAndNormalImageWithTheBorderOfItsMode)
{
    struct Case {
        int mode;
        QString border;
    };
    const Case cases[] = {
        {1, "border:2px groove gray;border-radius:10px;padding:2px 4px;"},
        {2, "border: 0px solid red;border-radius:10px;"},
        {3, ""},
    };
    for (const Case& c : cases) {
        CButtonBase button;
        button.m_nBorderMode = c.mode;
        button.m_strHoverImage = ":/hover.png";
        button.m_strNormalImage = ":/normal.png";
        enter(button);
        EXPECT_EQ(button.styleSheet(), "QPushButton{background-image:url(:/hover.png);" + c.border + "}")
            << "mode " << c.mode;
        leave(button);
        EXPECT_EQ(button.styleSheet(), "QPushButton{background-image:url(:/normal.png);" + c.border + "}")
            << "mode " << c.mode;
    }
}

TEST(ButtonBase, EmptyHoverPathShowsNoImageUnderThePointer)
{
    CButtonBase button;
    button.m_nBorderMode = 3;
    button.m_strNormalImage = ":/normal.png";
    leave(button);
    enter(button);
    EXPECT_EQ(button.styleSheet(), "QPushButton{background-image:url();}");
}

class MenuBaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_check = m_menu.addAction("check");
        m_iconItem = m_menu.addAction(QIcon(":/MerivoSiteSystem/Image/icon_exit.png"), "with icon");
        m_normal = m_menu.addAction("normal");
        m_normal->setProperty("canHideMenu", "true");
        m_menu.popup(QPoint(10, 10));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_menu));
    }

    void click(QAction* action)
    {
        QTest::mouseClick(&m_menu, Qt::LeftButton, {}, m_menu.actionGeometry(action).center());
    }

    CMenuBase m_menu;
    QAction* m_check = nullptr;
    QAction* m_iconItem = nullptr;
    QAction* m_normal = nullptr;
};

TEST_F(MenuBaseTest, CheckItemTogglesItsIconTriggersAndKeepsTheMenuOpen)
{
    QSignalSpy triggered(m_check, &QAction::triggered);
    click(m_check);
    EXPECT_EQ(m_check->icon().pixmap(16).toImage(), QIcon(CMenuBase::kCheckIcon).pixmap(16).toImage());
    EXPECT_FALSE(m_check->icon().isNull());
    EXPECT_TRUE(m_menu.isVisible());
    click(m_check);
    EXPECT_TRUE(m_check->icon().isNull());
    EXPECT_TRUE(m_menu.isVisible());
    EXPECT_EQ(triggered.count(), 2);
}

TEST_F(MenuBaseTest, ItemWithItsOwnIconLosesItOnTheFirstClick)
{
    QSignalSpy triggered(m_iconItem, &QAction::triggered);
    click(m_iconItem);
    EXPECT_TRUE(m_iconItem->icon().isNull());
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_TRUE(m_menu.isVisible());
}

TEST_F(MenuBaseTest, NormalItemTriggersAndClosesTheMenu)
{
    QSignalSpy triggered(m_normal, &QAction::triggered);
    click(m_normal);
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_TRUE(m_normal->icon().isNull());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_menu.isVisible(); }, 5000));
}

TEST_F(MenuBaseTest, ReleaseOutsideEveryItemTriggersNothing)
{
    QSignalSpy check(m_check, &QAction::triggered);
    QSignalSpy normal(m_normal, &QAction::triggered);
    // Below the last item, inside the menu's frame area.
    QTest::mouseClick(&m_menu, Qt::LeftButton, {}, QPoint(m_menu.width() / 2, m_menu.height() + 5));
    EXPECT_EQ(check.count() + normal.count(), 0);
    EXPECT_TRUE(m_check->icon().isNull());
}

} // namespace
