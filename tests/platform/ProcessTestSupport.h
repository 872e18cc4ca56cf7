#pragma once
// Shared by the platform layer's multi-process tests: the helper program
// (tests/support/platform_helper.cpp), programs started with startProgram
// that must not outlive their test, and the file that collects their output.

#include "TestSupport.h"
#include "platform/Processes.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace platformtest {

// The helper lies beside the test program, so startProgram finds it by name.
inline constexpr const char* kHelper = "platform_helper";
inline std::string helperPath() { return testsupport::testDir() + "/" + kHelper; }

// Sets (or, given nothing, removes) an environment variable for the
// object's life.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value) : m_name(name)
    {
        if (const char* previous = std::getenv(name))
            m_previous = previous;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        if (m_previous)
            setenv(m_name, m_previous->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_previous;
};

// Points TOLVAN_CHILD_OUTPUT at a fresh file: what started programs print.
class ChildOutput {
public:
    std::vector<std::string> lines() const
    {
        std::vector<std::string> lines;
        std::istringstream content(testsupport::readFile(path()));
        for (std::string line; std::getline(content, line);)
            lines.push_back(line);
        return lines;
    }
    // The first `count` lines, once they are there; fewer after the timeout.
    std::vector<std::string> waitForLines(std::size_t count) const
    {
        testsupport::waitUntil([&] { return lines().size() >= count; });
        return lines();
    }
    std::string path() const { return m_folder.file("child-output.txt"); }

private:
    testsupport::TempFolder m_folder{"tolvan-output"};
    ScopedEnvironment m_variable{"TOLVAN_CHILD_OUTPUT", path()};
};

// A program the test started; killed (and its end awaited) when the test ends.
class StartedProgram {
public:
    explicit StartedProgram(std::optional<pid_t> pid) : m_pid(pid.value_or(0)) {}
    ~StartedProgram()
    {
        if (m_pid > 0 && platform::terminateProcess(m_pid))
            platform::waitForProcessEnd(m_pid, 10000);
    }
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    pid_t pid() const { return m_pid; }
    // Kills the program now; true once it has ended.
    bool end()
    {
        pid_t pid = std::exchange(m_pid, 0);
        return platform::terminateProcess(pid) && platform::waitForProcessEnd(pid, 10000);
    }

private:
    pid_t m_pid;
};

inline void copyExecutable(const std::string& from, const std::string& to)
{
    std::filesystem::copy_file(from, to);
    std::filesystem::permissions(to, std::filesystem::perms(0755));
}

// A field of /proc/<pid>/stat after the command (1 is the state, 2 the
// parent, 4 the session); empty when the process is gone.
inline std::string statField(pid_t pid, int field)
{
    std::string stat = testsupport::readFile("/proc/" + std::to_string(pid) + "/stat");
    auto close = stat.rfind(')');
    if (close == std::string::npos)
        return {};
    std::istringstream rest(stat.substr(close + 1));
    std::string value;
    for (int i = 0; i < field; ++i)
        rest >> value;
    return value;
}

} // namespace platformtest
