#include "UpdateInstallation.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace testsupport;

namespace {

std::string readProcFile(pid_t pid, const char* name)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string procExe(pid_t pid)
{
    std::error_code error;
    return fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", error).string();
}

void writeWithFolders(const std::string& path, const std::string& content)
{
    fs::create_directories(fs::path(path).parent_path());
    writeFile(path, content);
}

} // namespace

UpdateInstallation::UpdateInstallation()
{
    fs::copy_file(binDir() + "/Fetchwell", app("Fetchwell"));
    install("TolvanClient", standinProgram());
    install("MerivoSiteSystem", standinProgram());
    fs::permissions(app("TolvanClient"), fs::perms(0755));
    fs::permissions(app("MerivoSiteSystem"), fs::perms(0755));

    m_demo = std::make_unique<RunningProgram>(
        std::string(TOLVAN_DEMO_DIR) + "/tolvan-demo",
        QStringList{"--push-port", "0", "--push-control-port", "0", "--site-port", "0", "--update-folder", QString::fromStdString(m_server.path()), "--update-port", "0", "--log",
                    QString::fromStdString(m_work.file("demo.log"))});
    const auto started = m_demo->waitForLine("serving", 20000);
    const QRegularExpression portPattern("127\\.0\\.0\\.1:(\\d+)/");
    const auto match = portPattern.match(QString::fromStdString(started.value_or("")));
    if (!match.hasMatch())
        throw std::runtime_error("the demo update server did not start: " + m_demo->standardError());
    m_port = match.captured(1).toInt();

    install("configure.ini", "[LinkInfo]\npushUrl=127.0.0.1\nPort=40008\nversion=4.4.0\nupdatexmlurl=http://127.0.0.1:" +
                                 std::to_string(m_port) + "/update.xml\n");
}

UpdateInstallation::~UpdateInstallation()
{
    // Stand-ins outlive Fetchwell (it starts the client detached): end every
    // one of this installation that still runs, and wait until each has
    // ended, so that the next test's Fetchwell, which stops the first
    // program it finds by name, cannot find one of these on its way out.
    std::vector<pid_t> killed;
    for (const Start& start : starts()) {
        if (procExe(start.pid).rfind(m_app.path() + "/", 0) == 0 && ::kill(start.pid, SIGKILL) == 0)
            killed.push_back(start.pid);
    }
    waitUntil([&] { return std::none_of(killed.begin(), killed.end(), isRunning); }, std::chrono::seconds(20));
}

void UpdateInstallation::install(const std::string& name, const std::string& content)
{
    writeWithFolders(app(name), content);
}

void UpdateInstallation::publish(const std::string& version, const std::vector<PublishedFile>& files)
{
    const auto parts = QString::fromStdString(version).split('.');
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<update>\n  <version majorversion=\"" +
                      parts.value(0).toStdString() + "\" minorversion=\"" + parts.value(1).toStdString() +
                      "\" smallversion=\"" + parts.value(2).toStdString() + "\" platform=\"linux\"/>\n  <files>\n";
    for (const PublishedFile& file : files) {
        std::string servedName = "files/" + file.name;
        std::replace(servedName.begin(), servedName.end(), '\\', '/');
        xml += "    <file url=\"http://127.0.0.1:" + std::to_string(m_port) + "/" + servedName + "\" name=\"" +
               file.name + "\" postfix=\"\" status=\"1\" storagelocation=\"\" md5=\"" + file.md5 + "\"/>\n";
        if (file.served)
            writeWithFolders(served(servedName), file.content);
    }
    xml += "  </files>\n</update>\n";
    publishRawManifest(xml);
}

void UpdateInstallation::publishRawManifest(const std::string& xml)
{
    writeFile(served("update.xml"), xml);
}

std::string UpdateInstallation::standinProgram()
{
    return readFile(testDir() + "/updater_standin");
}

std::string UpdateInstallation::newerStandinProgram()
{
    // Bytes after the end of an ELF program change the file, not the program.
    return standinProgram() + "newer build";
}

void UpdateInstallation::startSitePrograms()
{
    for (const char* program : {"TolvanClient", "MerivoSiteSystem"}) {
        qint64 pid = 0;
        QProcess::startDetached(QString::fromStdString(app(program)), {}, QString::fromStdString(m_app.path()), &pid);
    }
    waitUntil([this] { return starts().size() >= 2; }, std::chrono::seconds(20));
}

std::vector<UpdateInstallation::Start> UpdateInstallation::starts() const
{
    std::vector<Start> result;
    std::istringstream lines(readFile(app("started.txt")));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        Start start;
        std::string pid;
        std::getline(fields, start.program, '\t');
        std::getline(fields, pid, '\t');
        std::getline(fields, start.arguments);
        start.pid = pid_t(std::stol(pid));
        result.push_back(start);
    }
    return result;
}

bool UpdateInstallation::isRunning(pid_t pid)
{
    const std::string stat = readProcFile(pid, "stat");
    const auto close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z' && stat[close + 2] != 'X';
}

std::unique_ptr<RunningProgram> UpdateInstallation::startFetchwell(const std::map<std::string, std::string>& env)
{
    for (const auto& [name, value] : env)
        ::setenv(name.c_str(), value.c_str(), 1);
    auto fetchwell = std::make_unique<RunningProgram>(app("Fetchwell"), QStringList{}, m_work.path());
    for (const auto& [name, value] : env)
        ::unsetenv(name.c_str());
    return fetchwell;
}

bool UpdateInstallation::runFetchwell(const std::vector<std::string>& answers,
                                      const std::map<std::string, std::string>& env)
{
    auto fetchwell = startFetchwell(env);
    for (const std::string& answer : answers) {
        if (!press(answer))
            return false;
    }
    return fetchwell->waitForExit(60000) && fetchwell->exitCode() == 0;
}

bool UpdateInstallation::press(const std::string& button)
{
    // A box pressed a moment ago may still be listed; wait for one not yet
    // answered, so that the answer never goes to the box before.
    std::string handle;
    const bool boxUp = waitUntil(
        [&] {
            std::istringstream windows(runProgram(binDir() + "/tolvanctl", {"windows"}).out);
            for (std::string line; std::getline(windows, line);) {
                const QJsonObject window = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
                const std::string candidate = window["handle"].toString().toStdString();
                if (window["title"].toString() == "提示" &&
                    std::find(m_answeredBoxes.begin(), m_answeredBoxes.end(), candidate) == m_answeredBoxes.end()) {
                    handle = candidate;
                    return true;
                }
            }
            return false;
        },
        std::chrono::seconds(60), std::chrono::milliseconds(100));
    if (!boxUp)
        return false;
    m_answeredBoxes.push_back(handle);
    return runProgram(binDir() + "/tolvanctl", {"press", "提示", QString::fromStdString(button)}).exitCode == 0;
}

std::vector<std::string> UpdateInstallation::logMessages() const
{
    std::vector<std::string> messages;
    const std::string prefix = "日志内容：";
    std::istringstream lines(readFile(app("Log/Log.txt")));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) == 0)
            messages.push_back(line.substr(prefix.size()));
    }
    return messages;
}

std::vector<std::string> UpdateInstallation::requestedPaths() const
{
    std::vector<std::string> paths;
    const QRegularExpression request("\\[update\\] (?:GET|HEAD) (\\S+) ");
    std::istringstream lines(readFile(m_work.file("demo.log")));
    for (std::string line; std::getline(lines, line);) {
        const auto match = request.match(QString::fromStdString(line));
        if (match.hasMatch())
            paths.push_back(match.captured(1).toStdString());
    }
    return paths;
}

std::string UpdateInstallation::installedVersion() const
{
    std::istringstream lines(readFile(app("configure.ini")));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("version=", 0) == 0)
            return line.substr(8);
    }
    return {};
}

std::vector<std::string> UpdateInstallation::backupFiles() const
{
    std::vector<std::string> backups;
    for (const auto& entry : fs::recursive_directory_iterator(m_app.path())) {
        if (entry.path().extension() == ".old")
            backups.push_back(fs::relative(entry.path(), m_app.path()).string());
    }
    return backups;
}
