#include "DemoLog.h"

#include <QDateTime>
#include <cstdio>

bool DemoLog::openFile(const QString& path)
{
    m_file.setFileName(path);
    return m_file.open(QIODevice::Append | QIODevice::Text);
}

void DemoLog::write(const QString& service, const QString& text)
{
    const QByteArray line = (QDateTime::currentDateTime().toString("hh:mm:ss.zzz") + " [" + service +
                             "] " + text + "\n").toUtf8();
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
    std::fflush(stdout);
    if (m_file.isOpen()) {
        m_file.write(line);
        m_file.flush();
    }
}
