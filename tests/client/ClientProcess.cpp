#include "ClientProcess.h"

#include "shared/ProgramNames.h"
#include "shared/SiteAddresses.h"

#include "platform/Processes.h"

#include <QFile>
#include <QTcpServer>
#include <filesystem>
#include <sstream>

namespace {

// The dojopr probe: every page that loaded with status 200 logs its path.
const char* kProbeScript =
    "var probe = new XMLHttpRequest();"
    "probe.open('GET', '/api/log?text=' + encodeURIComponent('dojopr ' + location.pathname), true);"
    "probe.send();";

void copyProgram(const std::string& from, const std::string& to)
{
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(to, std::filesystem::perms::owner_all, std::filesystem::perm_options::add);
}

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(line);
    while (std::getline(stream, part, '\t'))
        parts.push_back(part);
    return parts;
}

// A port nothing listens on right now.
int freeLocalPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

// ---- DemoSite ---------------------------------------------------------------

DemoSite::DemoSite()
{
    // The push service always runs too; it gets a free port of its own.
    m_program = std::make_unique<testsupport::RunningProgram>(
        testsupport::binDir() + "/../demo/tolvan-demo",
        QStringList{"--site-port", "0", "--site-pages", QString::fromStdString(m_pages.path()), "--push-port",
                    QString::number(freeLocalPort()), "--push-control-port", "0"});
    const std::string marker = "site system on http://127.0.0.1:";
    if (auto line = m_program->waitForLine(marker, 20000)) {
        m_lines.push_back(*line);
        m_port = std::stoi(line->substr(line->find(marker) + marker.size()));
    }
}

std::string DemoSite::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void DemoSite::addPage(const std::string& name, const std::string& html)
{
    testsupport::writeFile(m_pages.file(name), html);
}

bool DemoSite::waitForLog(const std::string& text, int timeoutMs)
{
    for (const auto& line : m_lines) {
        if (line.find(text) != std::string::npos)
            return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        auto line = m_program->readLine(int(left.count()));
        if (!line)
            return false;
        m_lines.push_back(*line);
        if (line->find(text) != std::string::npos)
            return true;
    }
}

std::string reportingPage(const std::string& script, const std::string& body)
{
    return "<!DOCTYPE html><html><head><meta charset='utf-8'><title>test</title><script>"
           "function report(text) { var r = new XMLHttpRequest();"
           " r.open('GET', '/api/log?text=' + encodeURIComponent(text), false); r.send(); }"
           "</script></head><body>" +
           body + "<script>" + script + "</script></body></html>";
}

// ---- ClientInstallation -----------------------------------------------------

ClientInstallation::ClientInstallation(const DemoSite& site)
{
    const std::string bin = testsupport::binDir();
    copyProgram(bin + "/" + std::string(tolvan::kClientProgram), file(std::string(tolvan::kClientProgram)));
    const std::string standIn = testsupport::testDir() + "/client_standin";
    for (const std::string& name : {std::string(tolvan::kTrayToolProgram), std::string(tolvan::kUpdaterProgram),
                                   std::string("xdg-open")})
        copyProgram(standIn, file(name));

    testsupport::writeFile(file("config.ini"), "[url]\nurl=" + site.url("/") + "\n");
    testsupport::writeFile(file("chrome.ini"), "[LinkInfo]\nlogoutUrl=" + site.url(std::string(tolvan::kLogoutPath)) +
                                                   "\nloginUrl=" + site.url(std::string(tolvan::kLoginPath)) + "\n");
    std::filesystem::create_directory(file("httproot"));
    testsupport::writeFile(file("httproot/dojopr.txt"), "httproot/probe.js\n");
    testsupport::writeFile(file("httproot/probe.js"), kProbeScript);
}

ClientInstallation::~ClientInstallation() { endStandIns(); }

std::vector<std::vector<std::string>> ClientInstallation::starts(const std::string& standIn) const
{
    std::vector<std::vector<std::string>> result;
    std::istringstream lines(testsupport::readFile(file(standIn + ".args")));
    std::string line;
    while (std::getline(lines, line)) {
        auto parts = splitTabs(line);
        if (!parts.empty())
            result.emplace_back(parts.begin() + 1, parts.end());
    }
    return result;
}

void ClientInstallation::endStandIns()
{
    std::istringstream lines(testsupport::readFile(file(std::string(tolvan::kTrayToolProgram) + ".args")));
    std::string line;
    while (std::getline(lines, line)) {
        const pid_t pid = pid_t(std::stol(splitTabs(line).at(0)));
        if (platform::isProcessRunning(pid) && platform::terminateProcess(pid))
            platform::waitForProcessEnd(pid, 5000);
    }
}

// ---- ClientEnvironment ------------------------------------------------------

ClientEnvironment::ClientEnvironment()
{
    set("TMPDIR", m_temp.path());
    set("XDG_CONFIG_HOME", m_config.path());
}

ClientEnvironment::~ClientEnvironment()
{
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
        if (it->second)
            setenv(it->first.c_str(), it->second->c_str(), 1);
        else
            unsetenv(it->first.c_str());
    }
}

void ClientEnvironment::set(const char* name, const std::string& value)
{
    const char* previous = std::getenv(name);
    m_saved.emplace_back(name, previous ? std::optional<std::string>(previous) : std::nullopt);
    setenv(name, value.c_str(), 1);
}

// ---- the client ---------------------------------------------------------------

std::unique_ptr<testsupport::RunningProgram> startClient(const ClientInstallation& installation,
                                                         const ClientEnvironment& environment,
                                                         const QStringList& arguments)
{
    return std::make_unique<testsupport::RunningProgram>(installation.file(std::string(tolvan::kClientProgram)),
                                                         arguments, environment.workFolder());
}

platform::WindowHandle waitForWindow(const std::string& title, int timeoutMs)
{
    platform::WindowHandle window;
    testsupport::waitUntil([&] { return bool(window = platform::findWindow(title)); },
                           std::chrono::milliseconds(timeoutMs), std::chrono::milliseconds(50));
    return window;
}

bool sendAddress(platform::WindowHandle window, const std::string& address)
{
    platform::COPYDATASTRUCT data{0, std::uint32_t(address.size()), address.data()};
    return platform::sendMessage(window, platform::WM_COPYDATA, 0, reinterpret_cast<platform::LPARAM>(&data), 30000)
        .has_value();
}

testsupport::ProgramResult tolvanctl(const QStringList& arguments)
{
    return testsupport::runProgram(testsupport::binDir() + "/tolvanctl", arguments, 30000);
}
