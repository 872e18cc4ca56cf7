#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {

std::string binDir() { return TOLVAN_BIN_DIR; }
std::string testDir() { return TOLVAN_TEST_DIR; }
std::string sourceDir() { return TOLVAN_SOURCE_DIR; }

TempFolder::TempFolder(const std::string& prefix)
{
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempFolder::~TempFolder()
{
    QDir(QString::fromStdString(m_path)).removeRecursively();
}

ScopedRuntimeFolder::ScopedRuntimeFolder()
{
    if (const char* previous = std::getenv("TOLVAN_RUNTIME_DIR"))
        m_previous = previous;
    setenv("TOLVAN_RUNTIME_DIR", m_folder.path().c_str(), 1);
}

ScopedRuntimeFolder::~ScopedRuntimeFolder()
{
    if (m_previous)
        setenv("TOLVAN_RUNTIME_DIR", m_previous->c_str(), 1);
    else
        unsetenv("TOLVAN_RUNTIME_DIR");
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, int(interval.count()));
        QThread::msleep(interval.count());
    }
}

ProgramResult runProgram(const std::string& program, const QStringList& arguments, int timeoutMs,
                         const std::string& workingDir)
{
    QProcess process;
    if (!workingDir.empty())
        process.setWorkingDirectory(QString::fromStdString(workingDir));
    process.start(QString::fromStdString(program), arguments);
    ProgramResult result;
    if (!process.waitForStarted(timeoutMs))
        return result;
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(2000);
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

RunningProgram::RunningProgram(const std::string& program, const QStringList& arguments,
                               const std::string& workingDir)
    : m_process(std::make_unique<QProcess>())
{
    if (!workingDir.empty())
        m_process->setWorkingDirectory(QString::fromStdString(workingDir));
    m_process->start(QString::fromStdString(program), arguments);
    m_process->waitForStarted(10000);
}

RunningProgram::~RunningProgram()
{
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

bool RunningProgram::started() const { return m_process->state() != QProcess::NotRunning || m_process->exitCode() == 0; }
qint64 RunningProgram::pid() const { return m_process->processId(); }

std::optional<std::string> RunningProgram::readLine(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        m_buffer += m_process->readAllStandardOutput().toStdString();
        auto end = m_buffer.find('\n');
        if (end != std::string::npos) {
            std::string line = m_buffer.substr(0, end);
            m_buffer.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return std::nullopt;
        if (m_process->state() == QProcess::NotRunning) {
            m_buffer += m_process->readAllStandardOutput().toStdString();
            if (m_buffer.find('\n') == std::string::npos)
                return std::nullopt;
            continue;
        }
        m_process->waitForReadyRead(int(std::min<long long>(left, 100)));
    }
}

std::optional<std::string> RunningProgram::waitForLine(const std::string& text, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return std::nullopt;
        auto line = readLine(int(left));
        if (!line)
            return std::nullopt;
        if (line->find(text) != std::string::npos)
            return line;
    }
}

bool RunningProgram::waitForExit(int timeoutMs)
{
    if (m_process->state() == QProcess::NotRunning)
        return true;
    return m_process->waitForFinished(timeoutMs);
}

int RunningProgram::exitCode() const
{
    return m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
}

void RunningProgram::terminate() { m_process->terminate(); }
void RunningProgram::kill() { m_process->kill(); }

std::string RunningProgram::standardError() { return m_process->readAllStandardError().toStdString(); }

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

} // namespace testsupport
