#include "DesktopSession.h"

#include <QStandardPaths>
#include <QStringList>

namespace traytooltest {

DesktopSession::DesktopSession()
{
    for (const char* tool : {"xdotool"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            m_failure = std::string(tool) + " is not installed";
            return;
        }
    }
    m_server = std::make_unique<testsupport::PrivateDisplay>(kScreenSize.width(), kScreenSize.height());
    if (m_server->display().empty()) {
        m_failure = m_server->failure();
        return;
    }
    m_environment.set("DISPLAY", m_server->display());
    m_environment.set("QT_QPA_PLATFORM", "xcb");

    m_trayHost = std::make_unique<testsupport::RunningProgram>(testsupport::testDir() + "/tray_host_helper",
                                                                QStringList{});
    if (!m_trayHost->waitForLine("\"ready\"", 20000))
        m_failure = "the notification area did not start: " + m_trayHost->standardError();
}

bool DesktopSession::waitForDockedIcon(int timeoutMs)
{
    return m_trayHost && m_trayHost->waitForLine("\"docked\"", timeoutMs).has_value();
}

bool DesktopSession::xdotool(const QStringList& arguments, std::string* out)
{
    const testsupport::ProgramResult result = testsupport::runProgram("xdotool", arguments);
    if (out)
        *out = result.out;
    return result.finished && result.exitCode == 0;
}

bool DesktopSession::movePointer(QPoint position)
{
    return xdotool({"mousemove", QString::number(position.x()), QString::number(position.y())});
}

bool DesktopSession::click(QPoint position, int button)
{
    return movePointer(position) && xdotool({"click", QString::number(button)});
}

std::vector<QRect> DesktopSession::visibleWindows(qint64 pid)
{
    std::vector<QRect> windows;
    std::string ids;
    if (!xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)}, &ids))
        return windows;  // none visible
    for (const QString& id : QString::fromStdString(ids).split('\n', Qt::SkipEmptyParts)) {
        std::string shell;
        if (!xdotool({"getwindowgeometry", "--shell", id}, &shell))
            continue;
        QRect geometry;
        for (const QString& line : QString::fromStdString(shell).split('\n', Qt::SkipEmptyParts)) {
            const QString value = line.section('=', 1);
            if (line.startsWith("X="))
                geometry.moveLeft(value.toInt());
            else if (line.startsWith("Y="))
                geometry.moveTop(value.toInt());
            else if (line.startsWith("WIDTH="))
                geometry.setWidth(value.toInt());
            else if (line.startsWith("HEIGHT="))
                geometry.setHeight(value.toInt());
        }
        windows.push_back(geometry);
    }
    return windows;
}

std::optional<QRect> DesktopSession::visibleWindow(qint64 pid, QSize size)
{
    for (const QRect& window : visibleWindows(pid)) {
        if (window.size() == size)
            return window;
    }
    return std::nullopt;
}

bool DesktopSession::waitForWindowAt(qint64 pid, QPoint topLeft, int timeoutMs)
{
    return testsupport::waitUntil(
        [&] {
            for (const QRect& window : visibleWindows(pid)) {
                if (window.topLeft() == topLeft)
                    return true;
            }
            return false;
        },
        std::chrono::milliseconds(timeoutMs), std::chrono::milliseconds(200));
}

bool DesktopSession::waitForVisibleWindow(qint64 pid, QSize size, bool visible, int timeoutMs)
{
    return testsupport::waitUntil([&] { return visibleWindow(pid, size).has_value() == visible; },
                                  std::chrono::milliseconds(timeoutMs), std::chrono::milliseconds(200));
}

bool DesktopSession::screenshot(const std::string& path)
{
    const testsupport::ProgramResult result =
        testsupport::runProgram("import", {"-window", "root", QString::fromStdString(path)});
    return result.finished && result.exitCode == 0;
}

} // namespace traytooltest
