// tolvanctl listen: stands in for a program's window in tests and support
// sessions, printing every message and request that reaches it.

#include "Commands.h"
#include "Json.h"

#include "platform/TerminationSignals.h"
#include "platform/Windows.h"

#include <QCoreApplication>
#include <QTimer>

namespace tolvanctl {
namespace {

const char* showRequestName(platform::ShowRequest request)
{
    switch (request) {
    case platform::ShowRequest::Show: return "show";
    case platform::ShowRequest::Raise: return "raise";
    case platform::ShowRequest::Activate: return "activate";
    }
    return "?";
}

platform::LRESULT printMessage(platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam)
{
    JsonLine line;
    line.add("msg", std::int64_t(message)).add("wParam", std::int64_t(wParam));
    if (message == platform::WM_COPYDATA && lParam) {
        auto* copy = reinterpret_cast<const platform::COPYDATASTRUCT*>(lParam);
        std::string_view bytes(static_cast<const char*>(copy->lpData), copy->lpData ? copy->cbData : 0);
        line.add("lParam", std::int64_t(0))
            .add("dwData", std::int64_t(copy->dwData))
            .add("cbData", std::int64_t(copy->cbData))
            .add("text", bytes.substr(0, bytes.find('\0')))
            .add("hex", hexBytes(bytes));
    } else {
        line.add("lParam", std::int64_t(lParam));
    }
    line.print();
    // WM_CLOSE with a non-zero wParam ends the listener, after the answer.
    if (message == platform::WM_CLOSE && wParam != 0)
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    return 0;
}

} // namespace

int listen(int argc, char** argv, const std::vector<std::string>& words)
{
    if (words.size() != 1)
        return failure(kBadUsage, "usage: tolvanctl listen TITLE");
    QCoreApplication application(argc, argv);
    platform::quitOnTerminationSignals();

    auto window = platform::Window::create(words[0], printMessage);
    bool visible = false;
    window->setShowHandler([&](platform::ShowRequest request, int showCommand) -> bool {
        JsonLine line;
        line.add("request", showRequestName(request));
        if (request == platform::ShowRequest::Show)
            line.add("cmd", std::int64_t(showCommand));
        line.print();
        const bool wasVisible = visible;
        if (request == platform::ShowRequest::Show) {
            visible = showCommand != platform::SW_HIDE;
            window->setState(visible, showCommand == platform::SW_SHOWMINIMIZED ||
                                          showCommand == platform::SW_MINIMIZE);
        } else if (request == platform::ShowRequest::Activate) {
            window->setActive(true);
        }
        return request == platform::ShowRequest::Show ? wasVisible : true;
    });
    JsonLine().add("ready", true).print();
    return application.exec();
}

} // namespace tolvanctl
