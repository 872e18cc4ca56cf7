// How long the profile and code-page functions take: run by hand, prints
// microseconds per call.

#include "platform/CodePage.h"
#include "platform/Profile.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

template <typename F>
void measure(const char* what, int rounds, F&& body)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        body(i);
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    std::printf("%-52s %10.2f us per call (%d calls)\n", what, spent.count() / rounds, rounds);
}

} // namespace

int main()
{
    using namespace platform;
    volatile std::size_t sink = 0;
    const std::u16string title = u"Tolvan站长管理工具";
    std::u16string page;
    for (int i = 0; i < 100000; ++i)
        page += u"站长管理 text ";

    measure("ansiCodePageName", 20000, [&](int) { sink = sink + ansiCodePageName().size(); });
    measure("utf16ToAnsi(title)", 20000, [&](int) { sink = sink + utf16ToAnsi(title).size(); });
    measure("utf16ToGbk(title)", 20000, [&](int) { sink = sink + utf16ToGbk(title).size(); });
    measure("utf16ToUtf8(1.3 MB of text)", 20, [&](int) { sink = sink + utf16ToUtf8(page).size(); });
    const std::string pageGbk = utf16ToGbk(page);
    measure("gbkToUtf16(1.0 MB of text)", 20, [&](int) { sink = sink + gbkToUtf16(pageGbk).size(); });

    char folder[] = "/tmp/tolvan-bench-XXXXXX";
    if (!mkdtemp(folder))
        return 1;
    const std::string file = std::string(folder) + "/configure.ini";
    for (const char* key : {"logoutUrl", "pushUrl", "expUrl", "IP", "Url", "Port", "updatexmlurl"})
        writeProfileString(file, "LinkInfo", key, "http://127.0.0.1:8080/some/address?x=1");
    writeProfileString(file, "LinkInfo", "version", "4.4.0");
    measure("readProfileString(configure.ini, version)", 5000,
            [&](int) { sink = sink + readProfileString(file, "LinkInfo", "version").size(); });
    measure("writeProfileString(configure.ini, version)", 200,
            [&](int i) { writeProfileString(file, "LinkInfo", "version", "4.4." + std::to_string(i)); });
    std::system((std::string("rm -rf ") + folder).c_str());
    return sink == 0;
}
