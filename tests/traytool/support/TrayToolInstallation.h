#pragma once
// A private tray tool for a real-process test: a copy of the program in its
// own installation folder, its own user folders (XDG_CONFIG_HOME, HOME,
// TMPDIR) and its own per-logon runtime folder. The test plays the client's
// login state in the shared memory "tolvan" with tolvanctl, which also holds
// the region open as the client would.

#include "ScopedEnvironment.h"
#include "TestSupport.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <string>

namespace traytooltest {

class TrayToolInstallation {
public:
    TrayToolInstallation();

    // The copy runs under another file name: the client and the updater end
    // every process whose program name contains "MerivoSiteSystem", and their
    // tests, run beside ours, would end our tray tools too.
    std::string programPath() const { return m_root.path() + "/bin/TrayToolUnderTest"; }
    std::string installConfigPath() const { return m_root.path() + "/bin/configure.ini"; }
    std::string userConfigPath() const { return m_root.path() + "/config/SiteSystem/configure.ini"; }
    std::string logPath() const { return m_root.path() + "/config/SiteSystem/log.txt"; }
    std::string cacheFolder() const { return m_root.path() + "/tmp/WebKitCache"; }

    // Writes the installation's configure.ini ([LinkInfo] and `lines`).
    void writeInstallConfig(const std::string& lines);

    // Stores the client state in the shared memory "tolvan", which is
    // created and held from the first call on.
    bool setClientState(int state);

    std::unique_ptr<testsupport::RunningProgram> start(const QStringList& arguments = {});
    // Fails the test when the tray tool has ended on its own (it runs until
    // it is ended).
    static void expectStillRunning(testsupport::RunningProgram& program);

    std::string log() const { return testsupport::readFile(logPath()); }
    // How many log entries carry a message that starts with `message`.
    int countLogEntries(const QString& message) const;
    bool waitForLogEntries(const QString& message, int count, int timeoutMs = 20000) const;

private:
    testsupport::TempFolder m_root{"traytool-run"};
    testsupport::ScopedRuntimeFolder m_runtime;
    ScopedEnvironment m_environment;
    std::unique_ptr<testsupport::RunningProgram> m_regionHolder;
};

} // namespace traytooltest
