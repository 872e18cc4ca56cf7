#include "traytool/core/Log.h"

#include "traytool/core/Configure.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace traytool {

bool isLogDueForDeletion(const QDate& created, const QDate& today)
{
    return created.isValid() && today.isValid() && created.daysTo(today) == 2;
}

QDateTime fileCreationTime(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const QDateTime born = info.birthTime();
    return born.isValid() ? born : info.lastModified();
}

} // namespace traytool

CLog* CLog::instance()
{
    // Never deleted: entries may come until the very end of the process.
    static CLog* log = new CLog(defaultFilePath());
    return log;
}

QString CLog::defaultFilePath()
{
    return CConfigure::appDataPath().replace('\\', '/') + "/SiteSystem" + "/log.txt";
}

CLog::CLog(const QString& filePath, const QDateTime& now)
{
    const QDateTime created = traytool::fileCreationTime(filePath);
    if (created.isValid() && traytool::isLogDueForDeletion(created.date(), now.date()))
        QFile::remove(filePath);

    m_pFile = new QFile(filePath, this);
    if (!m_pFile->open(QIODevice::WriteOnly | QIODevice::Append)) {
        qDebug("Open file faile!");
        return;
    }
    m_pStream = new QTextStream(m_pFile);
    // The locale's code page, which is UTF-8 on our systems.
    m_pStream->setEncoding(QStringConverter::System);
    *m_pStream << "Start output log:" << '\n';
    m_pStream->flush();
}

CLog::~CLog()
{
    delete m_pStream;
}

void CLog::writeLog(const QString& message)
{
    const QString time = QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss");
    if (m_pStream) {
        *m_pStream << "PrintTime:  " << time << "The  " << m_nLines << "Lines: " << message << '\n';
        m_pStream->flush();
    }
    ++m_nLines;
}
