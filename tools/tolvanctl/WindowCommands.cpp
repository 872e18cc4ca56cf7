// Commands that find windows and send them messages.

#include "Commands.h"
#include "Json.h"

#include "platform/Windows.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace tolvanctl {

int failure(int status, const std::string& message)
{
    std::fprintf(stderr, "tolvanctl: %s\n", message.c_str());
    return status;
}

namespace {

std::optional<Arguments> parseOrNull(const std::vector<std::string>& words, const std::set<std::string>& values,
                                     const std::set<std::string>& flags = {})
{
    auto arguments = Arguments::parse(words, values, flags);
    if (arguments) {
        for (const auto& option : values) {
            if (!arguments->numberIsValid(option))
                return std::nullopt;
        }
    }
    return arguments;
}

platform::WindowHandle findOrReport(const std::string& title)
{
    platform::WindowHandle window = platform::findWindow(title);
    if (!window)
        failure(kNotFound, "no window titled '" + title + "'");
    return window;
}

int printResult(const std::optional<platform::LRESULT>& result, const std::string& title)
{
    if (!result)
        return failure(kNotFound, "the window '" + title + "' did not answer");
    JsonLine().add("result", std::int64_t(*result)).print();
    return kDone;
}

} // namespace

int listWindows(const std::vector<std::string>& words)
{
    if (!words.empty())
        return failure(kBadUsage, "usage: tolvanctl windows");
    for (const auto& window : platform::enumWindows()) {
        JsonLine()
            .add("title", window.title)
            .add("pid", std::int64_t(window.pid))
            .add("visible", window.visible)
            .add("minimized", window.minimized)
            .add("handle", window.handle.toString())
            .print();
    }
    return kDone;
}

int sendCopyData(const std::vector<std::string>& words)
{
    auto arguments = parseOrNull(words, {"wparam", "cbdata"});
    if (!arguments || arguments->positional().size() != 2 || arguments->number("cbdata").value_or(0) < 0)
        return failure(kBadUsage, "usage: tolvanctl send-copydata TITLE TEXT [--wparam N] [--cbdata N]");
    const std::string& title = arguments->positional()[0];
    std::string bytes = arguments->positional()[1];
    // A count larger than the text sends the text, a NUL and zero bytes.
    if (auto count = arguments->number("cbdata"))
        bytes.resize(std::size_t(*count), '\0');

    platform::WindowHandle window = findOrReport(title);
    if (!window)
        return kNotFound;
    platform::COPYDATASTRUCT copy;
    copy.dwData = 0;
    copy.cbData = std::uint32_t(bytes.size());
    copy.lpData = bytes.data();
    auto result = platform::sendMessage(window, platform::WM_COPYDATA,
                                        platform::WPARAM(arguments->number("wparam").value_or(0)),
                                        reinterpret_cast<platform::LPARAM>(&copy));
    return printResult(result, title);
}

int closeWindow(const std::vector<std::string>& words)
{
    auto arguments = parseOrNull(words, {"wparam"}, {"post"});
    if (!arguments || arguments->positional().size() != 1)
        return failure(kBadUsage, "usage: tolvanctl close TITLE [--wparam N] [--post]");
    const std::string& title = arguments->positional()[0];
    platform::WindowHandle window = findOrReport(title);
    if (!window)
        return kNotFound;
    const auto wParam = platform::WPARAM(arguments->number("wparam").value_or(0));
    if (arguments->has("post")) {
        if (!platform::postMessage(window, platform::WM_CLOSE, wParam, 0))
            return failure(kNotFound, "the window '" + title + "' did not take the message");
        JsonLine().add("posted", true).print();
        return kDone;
    }
    return printResult(platform::sendMessage(window, platform::WM_CLOSE, wParam, 0), title);
}

int showWindow(const std::vector<std::string>& words)
{
    auto arguments = parseOrNull(words, {});
    const auto& positional = arguments ? arguments->positional() : std::vector<std::string>{};
    int command = -1;
    if (positional.size() == 2) {
        const std::string& how = positional[1];
        command = how == "maximized" ? platform::SW_SHOWMAXIMIZED
                  : how == "hide"    ? platform::SW_HIDE
                  : how == "restore" ? platform::SW_RESTORE
                                     : -1;
    }
    if (command < 0)
        return failure(kBadUsage, "usage: tolvanctl show TITLE maximized|hide|restore");
    platform::WindowHandle window = findOrReport(positional[0]);
    if (!window)
        return kNotFound;
    JsonLine().add("wasVisible", platform::showWindow(window, command)).print();
    return kDone;
}

int pressButton(const std::vector<std::string>& words)
{
    auto arguments = parseOrNull(words, {"wait"});
    const auto& positional = arguments ? arguments->positional() : std::vector<std::string>{};
    if (positional.size() != 2 || (positional[1] != "ok" && positional[1] != "cancel"))
        return failure(kBadUsage, "usage: tolvanctl press TITLE ok|cancel [--wait MS]");
    const std::string& title = positional[0];
    // The box may not be up yet; --wait gives it time to appear.
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(arguments->number("wait").value_or(0));
    platform::WindowHandle window = platform::findWindow(title);
    while (!window && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
        window = platform::findWindow(title);
    }
    if (!window)
        return failure(kNotFound, "no window titled '" + title + "'");
    const platform::WPARAM button = positional[1] == "ok" ? platform::IDOK : platform::IDCANCEL;
    return printResult(platform::sendMessage(window, platform::WM_COMMAND, button, 0), title);
}

} // namespace tolvanctl
