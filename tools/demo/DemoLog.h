#pragma once
// The demo services' log: one line per event on standard output (and in a
// file when asked), "hh:mm:ss.zzz [service] text", flushed at once so that
// tests and users can follow it.

#include <QFile>
#include <QString>

class DemoLog {
public:
    bool openFile(const QString& path);
    void write(const QString& service, const QString& text);

private:
    QFile m_file;
};
