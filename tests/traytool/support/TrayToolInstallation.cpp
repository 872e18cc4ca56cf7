#include "TrayToolInstallation.h"

#include "shared/SharedRegions.h"

#include <QDir>
#include <QFile>

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

void TrayToolInstallation::setClientState(int state)
{
    if (!m_clientState.isValid())
        m_clientState = platform::SharedMemory::createOrOpen(std::string(tolvan::kClientStateRegion),
                                                             tolvan::kSharedRegionSize);
    if (m_clientState.isValid())
        tolvan::writeClientState(m_clientState.data(), state);
}

std::unique_ptr<testsupport::RunningProgram> TrayToolInstallation::start(const QStringList& arguments)
{
    return std::make_unique<testsupport::RunningProgram>(programPath(), arguments,
                                                         m_root.path() + "/home");
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
