// MerivoSiteSystem, the tray tool: keeps the site's member logged in to the
// push service while the client reports a login, and announces what it pushes.
#include "platform/MessageBox.h"
#include "platform/NamedMutex.h"
#include "shared/ProgramNames.h"
#include "traytool/core/Configure.h"
#include "traytool/core/Log.h"
#include "traytool/core/MerivoSiteSystem.h"
#include "traytool/core/ProcessState.h"
#include "traytool/core/SiteIdentity.h"
#include "traytool/core/StyleSheet.h"

#include <QApplication>
#include <memory>
#include <string>

namespace {

// The client kills the running tray tool and starts a new one at once; the
// old one's guard is gone as soon as it has ended.
constexpr int kWaitForEndingHolderMs = 2000;

} // namespace

int main(int argc, char** argv)
{
    // One tray tool per log-on, held until the process ends (also by a kill).
    auto guard = platform::SingleInstanceGuard::tryAcquire(std::string(tolvan::kTrayToolGuardName),
                                                           kWaitForEndingHolderMs);
    if (!guard.acquired()) {
        platform::messageBox("站点系统已经启动！", "进程唯一",
                             platform::MB_OK | platform::MB_ICONINFORMATION);
        return 0;
    }

    // Text: Qt 6 reads 8-bit literals and translations as UTF-8, which is also
    // the locale's code page our sources and file names are written in, so
    // there are no codecs to set. Arguments come in the locale's code page.
    traytool::setStartMode(
        traytool::applySiteIdentity(traytool::commandLineArguments(argc, argv), CConfigure()));

    CLog::instance()->writeLog(QStringLiteral("-----------------------"));
    CLog::instance()->writeLog(QStringLiteral("程序启动!"));

    QApplication application(argc, argv);
    Q_INIT_RESOURCE(MerivoSiteSystem);
    traytool::applyApplicationStyleSheet(application);

    auto window = std::make_unique<MerivoSiteSystem>();
    window->hide();

    const int result = application.exec();
    window.reset();
    return result;
}
