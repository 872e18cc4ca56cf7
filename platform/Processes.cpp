#include "platform/Processes.h"

#include "platform/RuntimeFolder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

std::string procPath(pid_t pid, const char* entry)
{
    return "/proc/" + std::to_string(pid) + "/" + entry;
}

// The file name of the process's executable; empty for kernel threads, ended
// processes and processes we may not look into.
std::string executableName(pid_t pid)
{
    char target[4096];
    ssize_t length = ::readlink(procPath(pid, "exe").c_str(), target, sizeof target);
    if (length <= 0 || std::size_t(length) >= sizeof target)
        return {};
    std::string path(target, std::size_t(length));
    // A program whose file was deleted or replaced still runs.
    constexpr std::string_view deleted = " (deleted)";
    if (path.ends_with(deleted))
        path.erase(path.size() - deleted.size());
    return path.substr(path.rfind('/') + 1);
}

struct ProcessStatus {
    char state = 0;  // 'R', 'S', ..., 'Z' for an ended, unreaped process
    pid_t parent = 0;
};

// State and parent from /proc/<pid>/stat: "pid (command) state ppid ...".
// The command may contain blanks and parentheses, so read after the last ')'.
std::optional<ProcessStatus> readStatus(pid_t pid)
{
    std::ifstream file(procPath(pid, "stat"));
    std::string line;
    if (!std::getline(file, line))
        return std::nullopt;
    auto close = line.rfind(')');
    if (close == std::string::npos || close + 2 >= line.size())
        return std::nullopt;
    ProcessStatus status;
    status.state = line[close + 2];
    status.parent = pid_t(std::strtol(line.c_str() + close + 3, nullptr, 10));
    return status;
}

bool hasEnded(const ProcessStatus& status) { return status.state == 'Z' || status.state == 'X'; }

void reapIfOurChild(pid_t pid, const ProcessStatus& status)
{
    if (status.parent == ::getpid())
        ::waitpid(pid, nullptr, WNOHANG);
}

bool isOurUsers(pid_t pid)
{
    struct stat info {};
    return ::stat(("/proc/" + std::to_string(pid)).c_str(), &info) == 0 && info.st_uid == ::geteuid();
}

// The runtime folder the process's environment names; empty when its
// environment cannot be read.
std::string runtimeFolderOf(pid_t pid)
{
    std::ifstream file(procPath(pid, "environ"), std::ios::binary);
    if (!file)
        return {};
    std::string environment((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::map<std::string, std::string> variables;
    for (std::size_t start = 0; start < environment.size();) {
        std::size_t end = environment.find('\0', start);
        if (end == std::string::npos)
            end = environment.size();
        std::string entry = environment.substr(start, end - start);
        if (auto equals = entry.find('='); equals != std::string::npos)
            variables.emplace(entry.substr(0, equals), entry.substr(equals + 1));
        start = end + 1;
    }
    return runtimeFolderPath(
        [&variables](const char* name) -> const char* {
            auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        },
        ::getuid());
}

std::vector<pid_t> allProcessIds()
{
    std::vector<pid_t> pids;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return pids;
    while (const dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        long pid = std::strtol(entry->d_name, &end, 10);
        if (pid > 0 && *end == '\0')
            pids.push_back(pid_t(pid));
    }
    ::closedir(proc);
    std::sort(pids.begin(), pids.end());
    return pids;
}

} // namespace

std::vector<ProcessEntry> processSnapshot()
{
    std::vector<ProcessEntry> snapshot{{0, std::string(kSystemProcessName)}};
    const std::string ourLogon = runtimeFolderPath([](const char* name) { return std::getenv(name); }, ::getuid());
    for (pid_t pid : allProcessIds()) {
        if (!isOurUsers(pid))
            continue;
        std::string name = executableName(pid);
        if (!name.empty() && runtimeFolderOf(pid) == ourLogon)
            snapshot.push_back({pid, std::move(name)});
    }
    return snapshot;
}

pid_t findProcessByName(std::string_view text)
{
    std::vector<ProcessEntry> snapshot = processSnapshot();
    // Skip the first entry, as the search always has.
    for (std::size_t i = 1; i < snapshot.size(); ++i) {
        if (snapshot[i].exeName.find(text) != std::string::npos)
            return snapshot[i].pid;
    }
    return 0;
}

bool isProcessRunning(pid_t pid)
{
    if (pid <= 0)
        return false;
    auto status = readStatus(pid);
    if (!status)
        return false;
    if (hasEnded(*status)) {
        reapIfOurChild(pid, *status);
        return false;
    }
    return true;
}

bool terminateProcess(pid_t pid)
{
    return pid > 0 && ::kill(pid, SIGKILL) == 0;
}

bool waitForProcessEnd(pid_t pid, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto interval = std::chrono::milliseconds(1);
    while (isProcessRunning(pid)) {
        if (timeoutMs >= 0 && Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(interval);
        interval = std::min(interval * 2, std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace platform
