#pragma once
// Running the real client in tests: an installation folder of its own (the
// client with config.ini and chrome.ini pointing at a demo site system, a
// dojopr probe, and stand-ins for the tray tool, the updater and xdg-open),
// the demo site system with the test's pages, and a private runtime folder,
// temporary folder, configuration folder and working directory.

#include "TestSupport.h"

#include "platform/Windows.h"

#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// tolvan-demo's site system with extra pages (served from a folder).
class DemoSite {
public:
    DemoSite();
    bool running() const { return m_port != 0; }
    std::string url(const std::string& path) const;
    // Adds a page to the served folder.
    void addPage(const std::string& name, const std::string& html);
    // Waits for a log line containing `text` (also among the lines seen so far).
    bool waitForLog(const std::string& text, int timeoutMs = 60000);
    // Every line logged so far.
    const std::vector<std::string>& log() const { return m_lines; }

private:
    testsupport::TempFolder m_pages{"tolvan-pages"};
    std::unique_ptr<testsupport::RunningProgram> m_program;
    std::vector<std::string> m_lines;
    int m_port = 0;
};

// A page that reports through the site's log: `script` may call
// report(text), which logs "page: <text>".
std::string reportingPage(const std::string& script, const std::string& body = {});

class ClientInstallation {
public:
    explicit ClientInstallation(const DemoSite& site);
    ~ClientInstallation();

    const std::string& folder() const { return m_folder.path(); }
    std::string file(const std::string& name) const { return m_folder.file(name); }
    // The starts a stand-in recorded: for each, its arguments.
    std::vector<std::vector<std::string>> starts(const std::string& standIn) const;
    // Ends the stand-ins that still run.
    void endStandIns();

private:
    testsupport::TempFolder m_folder{"tolvan-install"};
};

// The private folders of one client run, set in this process's environment
// (and so inherited by the client) for the object's life.
class ClientEnvironment {
public:
    ClientEnvironment();
    ~ClientEnvironment();
    const std::string& workFolder() const { return m_work.path(); }
    void set(const char* name, const std::string& value);

private:
    testsupport::ScopedRuntimeFolder m_runtime;
    testsupport::TempFolder m_temp{"tolvan-tmp"};
    testsupport::TempFolder m_config{"tolvan-cfg"};
    testsupport::TempFolder m_work{"tolvan-work"};
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

inline constexpr int kClientStartTimeoutMs = 90000;

std::unique_ptr<testsupport::RunningProgram> startClient(const ClientInstallation& installation,
                                                         const ClientEnvironment& environment,
                                                         const QStringList& arguments = {});

// The client's main window once it has registered under `title`.
platform::WindowHandle waitForWindow(const std::string& title, int timeoutMs = kClientStartTimeoutMs);

// Sends an address as another program does (WM_COPYDATA).
bool sendAddress(platform::WindowHandle window, const std::string& address);

// tolvanctl in the installation folder of the build.
testsupport::ProgramResult tolvanctl(const QStringList& arguments);
