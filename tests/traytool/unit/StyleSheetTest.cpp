#include "traytool/core/StyleSheet.h"

#include <QApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>

// The resource lives in the tray tool's library; register it here.
static void initTrayToolResources() { Q_INIT_RESOURCE(MerivoSiteSystem); }

namespace {

// Selector and declarations of every rule, comments and blanks removed.
QStringList rules(QString sheet)
{
    sheet.remove(QRegularExpression(R"(/\*.*?\*/)", QRegularExpression::DotMatchesEverythingOption));
    QStringList result;
    const QRegularExpression rule(R"(([^{}]+)\{([^{}]*)\})");
    for (auto it = rule.globalMatch(sheet); it.hasNext();) {
        const auto match = it.next();
        QStringList declarations;
        for (const QString& declaration : match.captured(2).split(';', Qt::SkipEmptyParts)) {
            if (!declaration.trimmed().isEmpty())
                declarations << declaration.simplified();
        }
        result << match.captured(1).trimmed() + " { " + declarations.join("; ") + " }";
    }
    return result;
}

TEST(StyleSheet, TheApplicationGetsTheMenuAndScrollAreaRules)
{
    initTrayToolResources();
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(application, nullptr);
    ASSERT_TRUE(traytool::applyApplicationStyleSheet(*application));
    EXPECT_EQ(rules(application->styleSheet()),
              (QStringList{
                  "QAbstractScrollArea { border: 1px solid #ADBEC8 }",
                  "QMenu { background-color: #C1CDCD; border: 1px solid #99ADBD }",
                  "QMenu::item { padding: 3px 25px 3px 35px; background-color: transparent; border: 1px "
                  "solid transparent; border-radius: 2px; margin-left: 2px; margin-right: 2px; height: 16px }",
                  "QMenu::item:enabled:selected { border: 1px solid #AACEDB; background-color: "
                  "qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #9ACD32, stop:1 #ADD8E6) }",
                  "QMenu::separator { background-image: url(:/menu_separator.png); height: 2px; "
                  "margin-left: 35px; margin-right: 5px }",
                  "QMenu::icon { margin-left: 9px }",
                  "QMenu::item:selected { background-color: #36648B }",
                  "QMenu::item:disabled { color: #FFEFDB }",
              }));
    application->setStyleSheet(QString());
}

} // namespace
