#pragma once
// Helpers for tests that run the real programs: fresh folders, a private
// per-logon runtime folder, and processes whose output lines can be awaited.

#include <QProcess>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// The installation folder (build/bin) and the test programs' folder.
std::string binDir();
std::string testDir();
std::string sourceDir();

// A temporary folder, removed with everything in it when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "tolvan-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Points TOLVAN_RUNTIME_DIR at a fresh folder for the object's life, so named
// objects and windows of one test never meet those of another, and programs
// the test starts inherit it.
class ScopedRuntimeFolder {
public:
    ScopedRuntimeFolder();
    ~ScopedRuntimeFolder();
    const std::string& path() const { return m_folder.path(); }

private:
    TempFolder m_folder{"tolvan-rt"};
    std::optional<std::string> m_previous;
};

// Polls `condition` until it holds or the timeout passes; processes Qt events
// in between when an application object exists.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(10),
               std::chrono::milliseconds interval = std::chrono::milliseconds(20));

struct ProgramResult {
    int exitCode = -1;
    bool finished = false;  // false when it timed out and was killed
    std::string out;
    std::string err;
};

// Runs a program to its end (killed after timeoutMs).
ProgramResult runProgram(const std::string& program, const QStringList& arguments,
                         int timeoutMs = 20000, const std::string& workingDir = {});

// A program running in the background; killed when the object goes.
class RunningProgram {
public:
    RunningProgram(const std::string& program, const QStringList& arguments,
                   const std::string& workingDir = {});
    ~RunningProgram();

    bool started() const;
    qint64 pid() const;
    // The next line of standard output, without its line end; nothing when no
    // line arrived within the timeout or the program ended.
    std::optional<std::string> readLine(int timeoutMs = 10000);
    // Waits for a line containing `text`; returns it.
    std::optional<std::string> waitForLine(const std::string& text, int timeoutMs = 10000);
    bool waitForExit(int timeoutMs = 10000);
    int exitCode() const;
    void terminate();  // SIGTERM
    void kill();       // SIGKILL
    std::string standardError();

private:
    std::unique_ptr<QProcess> m_process;
    std::string m_buffer;
};

// Reads a whole file; empty when missing.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

} // namespace testsupport
