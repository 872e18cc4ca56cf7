// Measures the tray tool's push path and its idle cost:
//
//  1. latency: the time from the push service writing a pushed message to the
//     push client emitting signPushInfo (median and spread over 100 messages;
//     push client and a stand-in service in this process, over TCP on
//     127.0.0.1, with the log written as in a real run);
//  2. idle CPU: the real MerivoSiteSystem's CPU time per minute, read from
//     /proc/<pid>/stat, while no user is logged in and while it is logged in
//     to the demo push service and only sends keep-alives.
//
// Usage: traytool_push_bench [--messages N] [--seconds S]
#include "PushTestServer.h"
#include "TestSupport.h"
#include "TrayToolInstallation.h"

#include "traytool/core/Configure.h"
#include "traytool/core/ProcessState.h"
#include "traytool/push/SocketToService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const std::size_t index = std::min(values.size() - 1, std::size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

bool measureLatency(int messages)
{
    testsupport::TempFolder folder("push-bench");
    traytooltest::PushTestServer server;
    if (!server.listen())
        return false;
    testsupport::writeFile(folder.file("configure.ini"), "[LinkInfo]\npushUrl=127.0.0.1\nPort=" +
                                                             std::to_string(server.port()) +
                                                             "\nversion=4.4.0\n");
    testsupport::writeFile(folder.file("user.ini"), "[LinkInfo]\nusername=U200\n");
    traytool::setClientStateText("1");
    CSocketToService client(CConfigure(QString::fromStdString(folder.file("configure.ini")),
                                       QString::fromStdString(folder.file("user.ini"))),
                            nullptr);
    Clock::time_point emitted;
    int received = 0;
    QObject::connect(&client, &CSocketToService::signPushInfo, [&](const QString&) {
        emitted = Clock::now();
        ++received;
    });
    if (!server.waitForConnections(1) || !server.waitForLines(1))
        return false;
    server.write(traytooltest::statusReply("0"));

    std::vector<double> latencies;
    for (int i = 0; i < messages; ++i) {
        const QByteArray message =
            QStringLiteral(R"({"channelNo":"05","memberId":"U200","id":"%1","documentId":"D%1",)"
                           R"("status":"1","pushType":"1","type":"113","title":"新的抢单消息",)"
                           R"("subtitle":"寄件订单","content":"附近有新的寄件订单，快来抢单吧！","taskNum":"1"})")
                .arg(5000 + i)
                .toUtf8();
        const Clock::time_point written = Clock::now();
        server.write(message);
        const int expected = i + 1;
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (received < expected && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (received < expected)
            return false;
        latencies.push_back(std::chrono::duration<double, std::micro>(emitted - written).count());
        // Let the acknowledgement go out before the next message.
        server.waitForLines(2 + expected, 5000);
    }
    std::printf("push latency, service write -> signPushInfo, %d messages:\n", messages);
    std::printf("  median %.0f us, p10 %.0f us, p90 %.0f us, max %.0f us\n", percentile(latencies, 0.5),
                percentile(latencies, 0.1), percentile(latencies, 0.9), percentile(latencies, 1.0));
    return true;
}

// utime + stime of a process, in seconds.
double cpuSeconds(qint64 pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14)
            utime = std::stoull(field);
        if (index == 15) {
            stime = std::stoull(field);
            break;
        }
    }
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

bool measureIdle(const char* label, testsupport::RunningProgram& program, int seconds)
{
    std::this_thread::sleep_for(std::chrono::seconds(5));  // past the start-up
    const double before = cpuSeconds(program.pid());
    QElapsedTimer wall;
    wall.start();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double after = cpuSeconds(program.pid());
    if (before < 0 || after < 0 || program.waitForExit(0)) {
        std::fprintf(stderr, "the tray tool ended during the measurement\n");
        return false;
    }
    const double used = after - before;
    const double minutes = double(wall.elapsed()) / 60000.0;
    std::printf("idle CPU, %s: %.0f ms per minute (%.3f %% of one core), measured over %.0f s\n", label,
                used * 1000.0 / minutes, used * 100.0 / (minutes * 60.0), minutes * 60.0);
    return true;
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool measureIdleCpu(int seconds)
{
    {
        traytooltest::TrayToolInstallation tray;
        tray.writeInstallConfig("pushUrl=127.0.0.1\nPort=1\nversion=4.4.0\n");
        tray.setClientState(0);
        auto program = tray.start({"C100;U200"});
        if (!tray.waitForLogEntries(QString::fromUtf8("程序启动!"), 1))
            return false;
        if (!measureIdle("no user logged in", *program, seconds))
            return false;
    }
    traytooltest::TrayToolInstallation tray;
    const quint16 port = freePort();
    tray.writeInstallConfig("pushUrl=127.0.0.1\nPort=" + std::to_string(port) + "\nversion=4.4.0\n");
    testsupport::RunningProgram demo(TOLVAN_DEMO_PROGRAM,
                                     {"--push-port", QString::number(port), "--push-control-port", "0"});
    if (!demo.waitForLine("listening"))
        return false;
    tray.setClientState(1);
    auto program = tray.start({"C100;U200"});
    if (!demo.waitForLine("is member U200", 20000))
        return false;
    return measureIdle("logged in, keep-alives every 5 s", *program, seconds);
}

} // namespace

int main(int argc, char** argv)
{
    int messages = 100;
    int seconds = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--messages")
            messages = std::max(1, std::atoi(argv[i + 1]));
        else if (std::string(argv[i]) == "--seconds")
            seconds = std::max(1, std::atoi(argv[i + 1]));
    }
    testsupport::TempFolder home("push-bench-home");
    const std::string config = home.path() + "/config";
    std::system(("mkdir -p '" + config + "/SiteSystem' '" + home.path() + "/tmp'").c_str());
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("TMPDIR", (home.path() + "/tmp").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);

    if (!measureLatency(messages)) {
        std::fprintf(stderr, "latency measurement failed\n");
        return 1;
    }
    if (!measureIdleCpu(seconds)) {
        std::fprintf(stderr, "idle CPU measurement failed\n");
        return 1;
    }
    return 0;
}
