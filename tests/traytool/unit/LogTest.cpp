#include "traytool/core/Log.h"

#include "TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

using testsupport::readFile;

QString logText(const std::string& path) { return QString::fromStdString(readFile(path)); }

TEST(Log, EntriesCarryTimeAndRunningNumberAfterTheStartLine)
{
    testsupport::TempFolder folder("log-test");
    const QString path = QString::fromStdString(folder.file("log.txt"));
    {
        CLog log(path);
        log.writeLog("-----------------------");
        log.writeLog(QString::fromUtf8("程序启动!"));
        log.writeLog(QString::fromUtf8("tcp 不建立连接!\n"));
        // Flushed per entry: the file is complete while the log is open.
        const QStringList lines = logText(path.toStdString()).split('\n');
        ASSERT_EQ(lines.size(), 6);  // four lines, the empty line, the end
        EXPECT_EQ(lines[0], "Start output log:");
        const QRegularExpression entry(
            R"(^PrintTime:  \d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}The  (\d+)Lines: (.*)$)");
        const QStringList messages = {"-----------------------", QString::fromUtf8("程序启动!"),
                                      QString::fromUtf8("tcp 不建立连接!")};
        for (int i = 0; i < 3; ++i) {
            const auto match = entry.match(lines[i + 1]);
            ASSERT_TRUE(match.hasMatch()) << lines[i + 1].toStdString();
            EXPECT_EQ(match.captured(1).toInt(), i);
            EXPECT_EQ(match.captured(2), messages[i]);
        }
        EXPECT_EQ(lines[4], "");  // the message's own line feed
        EXPECT_FALSE(readFile(path.toStdString()).find('\r') != std::string::npos);
    }
    // The next run appends, and counts from 0 again.
    CLog(path).writeLog("second run");
    const QString text = logText(path.toStdString());
    EXPECT_EQ(text.count("Start output log:"), 2);
    EXPECT_TRUE(text.endsWith("The  0Lines: second run\n")) << text.toStdString();
}

TEST(Log, ALogCreatedExactlyTwoCalendarDaysAgoStartsAfresh)
{
    struct Case {
        int daysLater;
        bool deleted;
    };
    for (const Case c : {Case{0, false}, Case{1, false}, Case{2, true}, Case{3, false}, Case{30, false}}) {
        SCOPED_TRACE(c.daysLater);
        testsupport::TempFolder folder("log-age-test");
        const QString path = QString::fromStdString(folder.file("log.txt"));
        CLog(path).writeLog("old run");
        const QDateTime created = traytool::fileCreationTime(path);
        ASSERT_TRUE(created.isValid());
        // Midnights count, not hours: late on the second day after.
        const QDateTime now(created.date().addDays(c.daysLater), QTime(23, 59, 59));
        CLog(path, now).writeLog("new run");
        const QString text = logText(path.toStdString());
        EXPECT_EQ(text.contains("old run"), !c.deleted);
        EXPECT_TRUE(text.startsWith("Start output log:\n"));
    }
}

TEST(Log, TheAgeRuleCountsMidnights)
{
    const QDate today(2024, 3, 1);
    EXPECT_TRUE(traytool::isLogDueForDeletion(QDate(2024, 2, 28), today));  // over a month end
    EXPECT_FALSE(traytool::isLogDueForDeletion(QDate(2024, 2, 29), today));
    EXPECT_FALSE(traytool::isLogDueForDeletion(QDate(2024, 2, 27), today));
    EXPECT_TRUE(traytool::isLogDueForDeletion(QDate(2023, 12, 30), QDate(2024, 1, 1)));
    EXPECT_FALSE(traytool::isLogDueForDeletion(QDate(), today));
}

QStringList g_debugMessages;

void collectMessages(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_debugMessages << message;
}

TEST(Log, AnUnopenableFileIsReportedOnTheDebugOutputOnly)
{
    testsupport::TempFolder folder("log-missing-test");
    const QString path = QString::fromStdString(folder.file("SiteSystem/log.txt"));
    g_debugMessages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectMessages);
    {
        CLog log(path);
        log.writeLog("lost");
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_debugMessages, QStringList{"Open file faile!"});
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
