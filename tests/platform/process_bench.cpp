// Measures program start and the process snapshot:
//   process_bench [starts] [processes] [starterMegabytes]
// starts:           how many times a trivial program is started (default 50)
// processes:        how many processes of this user the snapshot should see
//                   (default 200; sleepers are started to reach it)
// starterMegabytes: memory the starter touches first, as a large program such
//                   as the client would have (default 0)

#include "platform/Processes.h"
#include "platform/ProgramStart.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

struct Figures {
    double median, low, high;
};

Figures measure(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}

void print(const char* what, const Figures& figures)
{
    std::printf("%-44s median %8.3f ms  (min %.3f, max %.3f)\n", what, figures.median, figures.low, figures.high);
}

} // namespace

int main(int argc, char** argv)
{
    const int starts = argc > 1 ? std::atoi(argv[1]) : 50;
    const std::size_t wanted = argc > 2 ? std::size_t(std::atoi(argv[2])) : 200;
    const std::size_t megabytes = argc > 3 ? std::size_t(std::atoi(argv[3])) : 0;

    std::vector<char> ballast(megabytes << 20, 1);
    for (std::size_t i = 0; i < ballast.size(); i += 4096)
        ballast[i] = char(i);

    bool allStarted = true;
    print("startProgram(\"true\")", measure(starts, [&] { allStarted &= platform::startProgram("true").has_value(); }));
    if (!allStarted)
        std::printf("some starts failed\n");

    std::vector<pid_t> sleepers;
    while (platform::processSnapshot().size() - 1 < wanted) {
        auto pid = platform::startProgram("sleep 600");
        if (!pid)
            break;
        sleepers.push_back(*pid);
    }
    std::printf("snapshot entries (without the pseudo process): %zu\n", platform::processSnapshot().size() - 1);
    print("processSnapshot()", measure(50, [] { platform::processSnapshot(); }));
    print("findProcessByName (no match, full scan)", measure(50, [] { platform::findProcessByName("tolvan-none"); }));

    for (pid_t pid : sleepers)
        platform::terminateProcess(pid);
    auto end = measure(1, [&] {
        for (pid_t pid : sleepers)
            platform::waitForProcessEnd(pid, 10000);
    });
    std::printf("killed %zu sleepers; waiting for all their ends took %.3f ms\n", sleepers.size(), end.median);
    return 0;
}
