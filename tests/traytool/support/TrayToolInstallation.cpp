#include "TrayToolInstallation.h"

#include "shared/SharedRegions.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace traytooltest {

TrayToolInstallation::TrayToolInstallation()
{
    for (const char* folder : {"bin", "config", "home", "tmp"})
        QDir().mkpath(QString::fromStdString(m_root.path() + "/" + folder));
    const QString program = QString::fromStdString(programPath());
    QFile::copy(QString::fromStdString(testsupport::binDir() + "/MerivoSiteSystem"), program);
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
    m_environment.set("XDG_CONFIG_HOME", m_root.path() + "/config");
    m_environment.set("HOME", m_root.path() + "/home");
    m_environment.set("TMPDIR", m_root.path() + "/tmp");
    m_environment.set("QT_QPA_PLATFORM", "offscreen");
}

void TrayToolInstallation::writeInstallConfig(const std::string& lines)
{
    testsupport::writeFile(installConfigPath(), "[LinkInfo]\n" + lines);
}

bool TrayToolInstallation::setClientState(int state)
{
    const std::string tolvanctl = testsupport::binDir() + "/tolvanctl";
    const QString region = QString::fromUtf8(tolvan::kClientStateRegion.data(),
                                             qsizetype(tolvan::kClientStateRegion.size()));
    if (!m_regionHolder) {
        m_regionHolder = std::make_unique<testsupport::RunningProgram>(tolvanctl, QStringList{"shm-hold", region});
        if (!m_regionHolder->waitForLine("\"held\""))
            return false;
    }
    return testsupport::runProgram(tolvanctl, {"shm-write", region, "--i32", QString::number(state)})
               .exitCode == 0;
}

std::unique_ptr<testsupport::RunningProgram> TrayToolInstallation::start(const QStringList& arguments)
{
    return std::make_unique<testsupport::RunningProgram>(programPath(), arguments,
                                                         m_root.path() + "/home");
}

void TrayToolInstallation::expectStillRunning(testsupport::RunningProgram& program)
{
    if (program.waitForExit(0))
        ADD_FAILURE() << "the tray tool ended during the test (exit code " << program.exitCode()
                      << ", -1 for a signal)";
}

int TrayToolInstallation::countLogEntries(const QString& message) const
{
    return QString::fromStdString(log()).count("Lines: " + message);
}

bool TrayToolInstallation::waitForLogEntries(const QString& message, int count, int timeoutMs) const
{
    return testsupport::waitUntil([&] { return countLogEntries(message) >= count; },
                                  std::chrono::milliseconds(timeoutMs));
}

} // namespace traytooltest
