#include "platform/ProgramStart.h"

#include "platform/Paths.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace {

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Moves a descriptor above the standard ones, so that setting up the started
// program's stdin, stdout and stderr never overwrites it. -1 stays -1.
int aboveStandard(int fd)
{
    if (fd < 0 || fd > STDERR_FILENO)
        return fd;
    int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(fd);
    return moved;
}

// What the two forked processes tell the starter through the report pipe.
struct Report {
    char kind = 0;  // 'P': the started program's pid; 'E': errno of a failure
    int value = 0;
};

void report(int pipe, char kind, int value)
{
    Report message;
    message.kind = kind;
    message.value = value;
    [[maybe_unused]] ssize_t written = ::write(pipe, &message, sizeof message);
}

// Everything the forked processes need, prepared before the fork: after it
// only async-signal-safe calls are allowed.
struct StartPlan {
    std::string path;
    std::vector<std::string> argumentTexts;
    std::vector<char*> argv;
    int input = -1;       // /dev/null
    int output = -1;      // /dev/null or TOLVAN_CHILD_OUTPUT
    int reportPipe = -1;  // write end
};

void closeOtherDescriptors(int keep)
{
    const unsigned first = STDERR_FILENO + 1;
    bool below = unsigned(keep) == first || ::close_range(first, unsigned(keep) - 1, 0) == 0;
    if (below && ::close_range(unsigned(keep) + 1, ~0U, 0) == 0)
        return;
    for (int fd = STDERR_FILENO + 1; fd < 65536; ++fd) {
        if (fd != keep)
            ::close(fd);
    }
}

// The started program's side of the fork: runs in the grandchild, ends in exec.
[[noreturn]] void becomeProgram(const StartPlan& plan)
{
    ::setsid();
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &standard, nullptr);
    ::dup2(plan.input, STDIN_FILENO);
    ::dup2(plan.output, STDOUT_FILENO);
    ::dup2(plan.output, STDERR_FILENO);
    closeOtherDescriptors(plan.reportPipe);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execv(plan.path.c_str(), plan.argv.data());
    report(plan.reportPipe, 'E', errno);
    ::_exit(127);
}

// The intermediate process: starts the program and ends at once, so the
// program is orphaned and adopted by init (or a subreaper), never by us.
[[noreturn]] void startAndLeave(const StartPlan& plan)
{
    pid_t program = ::_Fork();
    if (program == 0)
        becomeProgram(plan);
    if (program < 0)
        report(plan.reportPipe, 'E', errno);
    else
        report(plan.reportPipe, 'P', program);
    ::_exit(0);
}

int openOutput()
{
    if (const char* file = std::getenv("TOLVAN_CHILD_OUTPUT"); file && *file) {
        int fd = ::open(file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0)
            return aboveStandard(fd);
    }
    return -1;
}

// Reads the reports until both forked processes have closed the pipe (the
// program's copy closes with its exec). The program's pid when it runs.
std::optional<pid_t> readReports(int pipe)
{
    std::optional<pid_t> started;
    bool failed = false;
    Report message;
    while (true) {
        ssize_t got = ::read(pipe, &message, sizeof message);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != ssize_t(sizeof message))
            break;
        if (message.kind == 'P')
            started = pid_t(message.value);
        else
            failed = true;
    }
    return failed ? std::nullopt : started;
}

std::optional<pid_t> start(StartPlan& plan)
{
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0)
        return std::nullopt;
    int readEnd = aboveStandard(pipe[0]);
    plan.reportPipe = aboveStandard(pipe[1]);
    if (readEnd < 0 || plan.reportPipe < 0) {
        ::close(readEnd);
        ::close(plan.reportPipe);
        return std::nullopt;
    }

    // Block every signal across the fork, so no handler of ours runs in the
    // forked processes before the program has the default dispositions.
    sigset_t all, previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    pid_t intermediate = ::fork();
    if (intermediate == 0)
        startAndLeave(plan);
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ::close(plan.reportPipe);

    std::optional<pid_t> started;
    if (intermediate > 0) {
        started = readReports(readEnd);
        while (::waitpid(intermediate, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    ::close(readEnd);
    return started;
}

} // namespace

std::string findProgram(const std::string& name)
{
    if (name.empty())
        return {};
    if (name.find('/') != std::string::npos)
        return isExecutableFile(name) ? name : std::string();
    if (std::string own = programFolder(); !own.empty() && isExecutableFile(joinPath(own, name)))
        return joinPath(own, name);
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "";
    while (!folders.empty()) {
        auto colon = folders.find(':');
        std::string folder(folders.substr(0, colon));
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        if (folder.empty())
            continue;
        if (std::string candidate = joinPath(folder, name); isExecutableFile(candidate))
            return candidate;
    }
    return {};
}

std::optional<pid_t> startProgram(std::string_view commandLine)
{
    std::vector<std::string> arguments = splitCommandLine(commandLine);
    if (arguments.empty())
        return std::nullopt;
    std::string program = std::move(arguments.front());
    arguments.erase(arguments.begin());
    return startProgram(program, arguments);
}

std::optional<pid_t> startProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    StartPlan plan;
    plan.path = findProgram(program);
    if (plan.path.empty())
        return std::nullopt;
    plan.argumentTexts.push_back(program);
    plan.argumentTexts.insert(plan.argumentTexts.end(), arguments.begin(), arguments.end());
    for (std::string& text : plan.argumentTexts)
        plan.argv.push_back(text.data());
    plan.argv.push_back(nullptr);

    plan.input = aboveStandard(::open("/dev/null", O_RDWR | O_CLOEXEC));
    if (plan.input < 0)
        return std::nullopt;
    int childOutput = openOutput();
    plan.output = childOutput >= 0 ? childOutput : plan.input;

    std::optional<pid_t> started = start(plan);
    ::close(plan.input);
    if (childOutput >= 0)
        ::close(childOutput);
    return started;
}

} // namespace platform
