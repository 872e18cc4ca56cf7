#pragma once
// The tray tool's running log, "<roaming application data>/SiteSystem/log.txt",
// appended to across runs. Each run starts with the line "Start output log:";
// every entry reads
//
//   PrintTime:  yyyy-MM-dd hh:mm:ssThe  <n>Lines: <message>
//
// with the entry's number in this run (from 0) and a line feed, and is flushed
// at once, so the file is complete whenever the process ends or is killed.
// A log created exactly two calendar days ago is deleted when the first run
// of the day opens it. When the file cannot be opened, "Open file faile!"
// goes to the debug output and the run's entries are lost.

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>

class QFile;
class QTextStream;

class CLog : public QObject {
    Q_OBJECT

public:
    // The process's log, opened on first use and kept until the process ends.
    static CLog* instance();

    // A log on another file; `now` decides the age rule (tests).
    explicit CLog(const QString& filePath, const QDateTime& now = QDateTime::currentDateTime());
    ~CLog() override;

    void writeLog(const QString& message);

    static QString defaultFilePath();

private:
    QFile* m_pFile = nullptr;
    QTextStream* m_pStream = nullptr;
    int m_nLines = 0;
};

namespace traytool {

// True when a log created on `created` is deleted on `today`: exactly two
// midnights lie between them.
bool isLogDueForDeletion(const QDate& created, const QDate& today);

// When the file was created, as far as the file system tells: its birth time,
// else its last modification. Invalid when the file is missing.
QDateTime fileCreationTime(const QString& path);

} // namespace traytool
