#include "PrivateDisplay.h"

#include <QStandardPaths>

namespace testsupport {

PrivateDisplay::PrivateDisplay(int width, int height)
{
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty()) {
        m_failure = "Xvfb is not installed";
        return;
    }
    // Xvfb takes the first free display and writes its number to descriptor 1.
    m_server = std::make_unique<RunningProgram>(
        xvfb.toStdString(),
        QStringList{"-displayfd", "1", "-screen", "0", QString("%1x%2x24").arg(width).arg(height), "-nolisten", "tcp"});
    const auto number = m_server->readLine(20000);
    if (!number || number->empty()) {
        m_failure = "Xvfb did not start: " + m_server->standardError();
        return;
    }
    m_display = ":" + *number;
}

} // namespace testsupport
