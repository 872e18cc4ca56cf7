#pragma once
// A desktop for a real-process test: a private X server (Xvfb, 1366 x 768)
// with a notification area in its top left corner (tray_host_helper), and the
// pointer and keyboard of a user (xdotool). Programs started while the
// session exists use it (DISPLAY, QT_QPA_PLATFORM=xcb). There is no window
// manager, so windows stand exactly where their programs put them.

#include "PrivateDisplay.h"
#include "ScopedEnvironment.h"
#include "TestSupport.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace traytooltest {

class DesktopSession {
public:
    DesktopSession();

    static constexpr QSize kScreenSize{1366, 768};
    // Where the first docked tray icon (24 x 24) is.
    static constexpr QRect kFirstTrayIcon{0, 0, 24, 24};

    // Empty when the desktop is up; else why not (the test should skip).
    const std::string& failure() const { return m_failure; }

    // Waits until a program has docked its tray icon.
    bool waitForDockedIcon(int timeoutMs = 20000);

    bool movePointer(QPoint position);
    // Moves the pointer there and clicks (1 left, 2 middle, 3 right).
    bool click(QPoint position, int button = 1);

    // The geometries of the process's visible top-level windows.
    std::vector<QRect> visibleWindows(qint64 pid);
    // The visible top-level window of the process with exactly this size.
    std::optional<QRect> visibleWindow(qint64 pid, QSize size);
    bool waitForVisibleWindow(qint64 pid, QSize size, bool visible, int timeoutMs = 20000);
    // Waits for a visible top-level window of the process whose top left
    // corner is there (a menu pops up at the pointer).
    bool waitForWindowAt(qint64 pid, QPoint topLeft, int timeoutMs = 20000);

    // Saves a screenshot of the whole screen (PNG).
    bool screenshot(const std::string& path);

private:
    bool xdotool(const QStringList& arguments, std::string* out = nullptr);

    ScopedEnvironment m_environment;
    std::unique_ptr<testsupport::PrivateDisplay> m_server;
    std::unique_ptr<testsupport::RunningProgram> m_trayHost;
    std::string m_failure;
};

} // namespace traytooltest
