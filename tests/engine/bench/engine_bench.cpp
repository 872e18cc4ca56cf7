// Measures the engine layer on this machine and prints the numbers:
//  - the time from process start to the first page's main-frame load end,
//  - the cost of a synchronous page-to-native call (median and 99th
//    percentile of 10 000 calls from the main frame),
//  - the memory with one page open (this process, and with Chromium's
//    helper processes).
// Run: QT_QPA_PLATFORM=offscreen build/tests/engine_bench [calls]
#include "HttpServer.h"

#include "engine/cef/Cef.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

// Seconds since boot when this process started, and now.
double processStartSeconds()
{
    QFile stat("/proc/self/stat");
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // Fields after the command name (which ends with ')'): starttime is 22nd.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.value(19).toDouble() / double(sysconf(_SC_CLK_TCK));
}

double secondsSinceBoot()
{
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

qint64 kilobytesOf(const QString& file, const QByteArray& key)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// This process and every process below it.
QList<int> processTree()
{
    QMap<int, int> parents;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool isPid = false;
        const int pid = entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        parents[pid] = text.mid(text.lastIndexOf(')') + 2).split(' ').value(1).toInt();
    }
    QList<int> tree{int(getpid())};
    for (bool grew = true; grew;) {
        grew = false;
        for (auto it = parents.begin(); it != parents.end(); ++it)
            if (tree.contains(it.value()) && !tree.contains(it.key())) {
                tree.append(it.key());
                grew = true;
            }
    }
    return tree;
}

class BenchClient : public CefClient, public CefLifeSpanHandler, public CefLoadHandler,
                    public CefV8ContextHandler, public CefV8Handler {
public:
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefV8ContextHandler> GetV8ContextHandler() override { return this; }

    void OnAfterCreated(CefRefPtr<CefBrowser> created) override
    {
        browser = created;
        browser->GetMainFrame()->LoadURL(firstPage);
    }
    void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, int status) override
    {
        if (frame->IsMain() && firstLoadEnd < 0)
            firstLoadEnd = secondsSinceBoot();
    }
    void OnContextCreated(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                          CefRefPtr<CefV8Context> context) override
    {
        CefRefPtr<CefV8Value> external = CefV8Value::CreateObject();
        external->SetValue("PlaySound", CefV8Value::CreateFunction("PlaySound", this),
                           V8_PROPERTY_ATTRIBUTE_READONLY);
        external->SetValue("Report", CefV8Value::CreateFunction("Report", this),
                           V8_PROPERTY_ATTRIBUTE_READONLY);
        context->GetGlobal()->SetValue("external", external, V8_PROPERTY_ATTRIBUTE_READONLY);
    }
    bool Execute(const CefString& name, CefRefPtr<CefV8Value>, const CefV8ValueList& arguments,
                 CefRefPtr<CefV8Value>& retval, CefString&) override
    {
        if (name == CefString("Report"))
            report = arguments.at(0)->GetStringValue().ToString();
        else
            retval = CefV8Value::CreateInt(arguments.empty() ? 0 : arguments[0]->GetIntValue() + 1);
        return true;
    }

    std::string firstPage;
    CefRefPtr<CefBrowser> browser;
    double firstLoadEnd = -1;
    std::string report;

private:
    IMPLEMENT_REFCOUNTING(BenchClient);
};

// Runs the event loop (idle between events, as an application's does) until
// the condition holds.
bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition() || timer.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(5);
    if (!condition())
        loop.exec();
    return condition();
}

const char* const kCallLoop = R"JS(
(function () {
  var n = %1, times = new Float64Array(n), t0, i;
  for (i = 0; i < 200; i++) external.PlaySound(i);  // warm up
  var start = performance.now();
  for (i = 0; i < n; i++) { t0 = performance.now(); external.PlaySound(i); times[i] = performance.now() - t0; }
  var total = performance.now() - start;
  times.sort();
  external.Report(JSON.stringify({median: times[n >> 1] * 1000, p99: times[Math.floor(n * 0.99)] * 1000,
                                  mean: total * 1000 / n, isolated: self.crossOriginIsolated}));
})();
)JS";

} // namespace

int main(int argc, char** argv)
{
    const double started = processStartSeconds();
    QApplication app(argc, argv);
    const int calls = argc > 1 ? std::max(100, std::atoi(argv[1])) : 10000;

    testsupport::HttpServer server;
    testsupport::HttpResponse page;
    page.body = testsupport::htmlPage("<h1>Tolvan</h1><p>benchmark page</p>");
    // Cross-origin isolation gives performance.now() its fine resolution.
    page.headers = {{"Cross-Origin-Opener-Policy", "same-origin"},
                    {"Cross-Origin-Embedder-Policy", "require-corp"}};
    server.route("/", page);

    const QString cache = QDir::tempPath() + "/tolvan-engine-bench-" + QString::number(getpid());
    CefSettings settings;
    settings.cache_path = cache.toStdString();
    settings.locale = "zh-CN";
    settings.log_severity = LOGSEVERITY_DISABLE;
    if (!CefInitialize(settings, nullptr)) {
        std::fprintf(stderr, "engine_bench: the engine did not start\n");
        return 1;
    }
    QWidget window;
    window.resize(1024, 768);
    window.show();
    CefRefPtr<BenchClient> client = new BenchClient();
    client->firstPage = server.url("/");
    CefWindowInfo info;
    info.SetAsChild(&window, {0, 0, 1024, 768});
    CefBrowser::CreateBrowser(info, client.get(), "about:blank", CefBrowserSettings());
    if (!waitFor([&] { return client->firstLoadEnd > 0; }, 120000)) {
        std::fprintf(stderr, "engine_bench: the first page did not load\n");
        return 1;
    }
    std::printf("start to first load end: %.0f ms (process start, %ld Hz clock)\n",
                (client->firstLoadEnd - started) * 1000, sysconf(_SC_CLK_TCK));

    client->browser->GetMainFrame()->ExecuteJavaScript(
        QString::fromUtf8(kCallLoop).arg(calls).toStdString(), "", 0);
    if (!waitFor([&] { return !client->report.empty(); }, 600000)) {
        std::fprintf(stderr, "engine_bench: the calls did not finish\n");
        return 1;
    }
    const QJsonObject result = QJsonDocument::fromJson(QByteArray::fromStdString(client->report)).object();
    std::printf("synchronous call, %d calls from the main frame: median %.0f us, 99th percentile %.0f us,"
                " mean %.0f us (timer isolated: %s)\n",
                calls, result["median"].toDouble(), result["p99"].toDouble(), result["mean"].toDouble(),
                result["isolated"].toBool() ? "yes" : "no");

    // Memory once the page has settled.
    waitFor([] { return false; }, 3000);
    qint64 pss = 0;
    const QList<int> tree = processTree();
    for (int pid : tree)
        pss += kilobytesOf(QString("/proc/%1/smaps_rollup").arg(pid), "Pss:");
    std::printf("memory with one page open: this process %lld MB resident (%lld MB proportional);"
                " with %lld Chromium processes %lld MB proportional\n",
                kilobytesOf("/proc/self/status", "VmRSS:") / 1024,
                kilobytesOf("/proc/self/smaps_rollup", "Pss:") / 1024,
                qint64(tree.size() - 1), pss / 1024);

    client->browser = nullptr;
    CefShutdown();
    QDir(cache).removeRecursively();
    return 0;
}
