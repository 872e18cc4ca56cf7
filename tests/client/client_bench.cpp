// Measures the real client against the demo site system (not a test):
//  - the time from starting the client to the end of its first page load
//    (seen as the dojopr probe's request, which the client runs right after
//    the load has ended), over a few starts;
//  - the round trip of external.PlaySound from page script, 10 000 calls.
//    Page timers are coarse (Chromium rounds performance.now()), so calls are
//    timed in batches of 100; the median is that of the batch averages.
#include "ClientProcess.h"

#include "shared/WindowTitles.h"

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <regex>

namespace {

const char* kBenchScript = R"(
var batches = [];
for (var b = 0; b < 100; ++b) {
  var start = performance.now();
  for (var i = 0; i < 100; ++i)
    external.PlaySound(i & 1);
  batches.push((performance.now() - start) * 1000 / 100);
}
batches.sort(function (a, b) { return a - b; });
var total = batches.reduce(function (a, b) { return a + b; }, 0);
report('bench median_us=' + batches[50].toFixed(1) + ' mean_us=' + (total / 100).toFixed(1) +
       ' p99_batch_us=' + batches[98].toFixed(1));
)";

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int starts = 5;
    std::vector<double> firstLoadMs;

    for (int run = 0; run < starts; ++run) {
        DemoSite site;
        if (!site.running()) {
            std::fprintf(stderr, "the demo site did not start\n");
            return 1;
        }
        site.addPage("first.html", reportingPage(""));
        site.addPage("bench.html", reportingPage(kBenchScript));
        ClientInstallation installation(site);
        ClientEnvironment environment;
        const auto started = std::chrono::steady_clock::now();
        auto client = startClient(installation, environment, {"-" + QString::fromStdString(site.url("/first.html"))});
        if (!site.waitForLog("page: dojopr /first.html", 120000)) {
            std::fprintf(stderr, "the first page did not load\n");
            return 1;
        }
        firstLoadMs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count());
        std::printf("start %d: first page load end after %.0f ms\n", run + 1, firstLoadMs.back());

        if (run == starts - 1) {
            sendAddress(waitForWindow(std::string(tolvan::kClientWindowTitle)), site.url("/bench.html"));
            if (!site.waitForLog("page: bench", 300000)) {
                std::fprintf(stderr, "the benchmark page did not report\n");
                return 1;
            }
            for (const auto& line : site.log()) {
                if (line.find("page: bench") != std::string::npos)
                    std::printf("external.PlaySound round trip, 10000 calls: %s\n",
                                line.substr(line.find("bench ") + 6).c_str());
            }
        }
        tolvanctl({"close", QString::fromStdString(std::string(tolvan::kClientWindowTitle)), "--wparam", "1"});
        client->waitForExit(30000);
    }
    std::printf("client start to first page load end: median %.0f ms over %d starts\n", median(firstLoadMs), starts);
    return 0;
}
