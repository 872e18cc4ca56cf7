// Measures the window layer: the round trip of a send to another process's
// window, and findWindow with 50 windows registered. Prints the numbers.

#include "TestSupport.h"

#include "platform/Windows.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

void report(const char* what, std::vector<double> micros)
{
    std::sort(micros.begin(), micros.end());
    auto at = [&](double q) { return micros[std::size_t(q * double(micros.size() - 1))]; };
    std::printf("%-44s median %8.1f us   p99 %8.1f us   (n=%zu)\n", what, at(0.5), at(0.99), micros.size());
}

template <typename Work>
std::vector<double> measure(int runs, Work work)
{
    std::vector<double> micros;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        work();
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return micros;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    testsupport::ScopedRuntimeFolder runtime;
    const std::string helper = std::string(TOLVAN_TEST_DIR) + "/window_helper";

    testsupport::RunningProgram answering(helper, {"answer", "bench target", "7"});
    testsupport::RunningProgram many(helper, {"windows", "window ", "49"});
    if (!answering.waitForLine("ready") || !many.waitForLine("ready")) {
        std::fprintf(stderr, "window_bench: helpers did not start\n");
        return 1;
    }
    platform::WindowHandle target = platform::findWindow("bench target");

    report("send to another process (WM_USER)", measure(5000, [&] {
        platform::sendMessage(target, platform::WM_USER, 0, 0);
    }));
    std::string text(200, 'x');
    platform::COPYDATASTRUCT copy{0, std::uint32_t(text.size()), text.data()};
    report("send to another process (WM_COPYDATA 200 B)", measure(5000, [&] {
        platform::sendMessage(target, platform::WM_COPYDATA, 0, reinterpret_cast<platform::LPARAM>(&copy));
    }));
    report("findWindow with 50 windows registered", measure(2000, [&] {
        platform::findWindow("bench target");
    }));
    report("enumWindows with 50 windows registered", measure(2000, [&] { platform::enumWindows(); }));
    return 0;
}
