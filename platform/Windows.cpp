#include "platform/Windows.h"

#include "platform/WindowHub.h"
#include "platform/WindowRegistry.h"

#include <charconv>

namespace platform {

using detail::RequestKind;
using detail::WindowHub;

namespace {

bool isOwn(const WindowHandle& window)
{
    const auto& self = WindowHub::instance().self();
    return window.pid == self.pid && window.processStart == self.start;
}

std::optional<LRESULT> deliver(RequestKind kind, WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam,
                               int showCommand, int timeoutMs)
{
    if (!window)
        return std::nullopt;
    auto& hub = WindowHub::instance();
    if (isOwn(window))
        return hub.deliverLocal(kind, window.id, message, wParam, lParam, showCommand, timeoutMs);
    return hub.deliverRemote(kind, window, message, wParam, lParam, showCommand, timeoutMs);
}

std::optional<detail::WindowRecord> recordOf(WindowHandle window)
{
    if (!window)
        return std::nullopt;
    if (isOwn(window))
        return WindowHub::instance().localRecord(window.id);
    return detail::readRecord(window);
}

template <typename Number>
bool parseNumber(std::string_view text, Number& value)
{
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

} // namespace

// ---- handles -----------------------------------------------------------------

std::string WindowHandle::toString() const
{
    return std::to_string(pid) + "-" + std::to_string(processStart) + "-" + std::to_string(id);
}

WindowHandle WindowHandle::fromString(const std::string& text)
{
    auto first = text.find('-');
    auto second = first == std::string::npos ? first : text.find('-', first + 1);
    if (second == std::string::npos)
        return {};
    WindowHandle handle;
    std::string_view view(text);
    if (!parseNumber(view.substr(0, first), handle.pid) ||
        !parseNumber(view.substr(first + 1, second - first - 1), handle.processStart) ||
        !parseNumber(view.substr(second + 1), handle.id))
        return {};
    return handle;
}

// ---- windows -----------------------------------------------------------------

std::unique_ptr<Window> Window::create(const std::string& title, WindowProcedure procedure, WindowKind kind)
{
    std::unique_ptr<Window> window(new Window);
    window->m_handle = WindowHub::instance().addWindow(title, std::move(procedure), kind);
    return window;
}

Window::~Window()
{
    auto& hub = WindowHub::instance();
    if (detail::readForeground() == m_handle)
        detail::writeForeground({});
    hub.removeWindow(m_handle.id);
}

std::string Window::title() const { return WindowHub::instance().title(m_handle.id); }
void Window::setTitle(const std::string& title) { WindowHub::instance().setTitle(m_handle.id, title); }
void Window::setState(bool visible, bool minimized) { WindowHub::instance().setState(m_handle.id, visible, minimized); }
void Window::setShowHandler(ShowHandler handler) { WindowHub::instance().setShowHandler(m_handle.id, std::move(handler)); }

void Window::setActive(bool active)
{
    if (active)
        detail::writeForeground(m_handle);
    else if (detail::readForeground() == m_handle)
        detail::writeForeground({});
}

// ---- lookup ------------------------------------------------------------------

WindowHandle findWindow(const std::string& title)
{
    WindowHandle newest;
    for (const auto& record : detail::liveRecords()) {
        if (record.title == title)
            newest = record.handle;  // records come oldest first
    }
    return newest;
}

std::vector<WindowInfo> enumWindows()
{
    std::vector<WindowInfo> windows;
    for (auto& record : detail::liveRecords())
        windows.push_back(WindowInfo{record.handle, std::move(record.title), record.handle.pid, record.visible,
                                     record.minimized});
    return windows;
}

bool isWindow(WindowHandle window) { return recordOf(window).has_value(); }

bool isWindowVisible(WindowHandle window)
{
    auto record = recordOf(window);
    return record && record->visible;
}

bool isIconic(WindowHandle window)
{
    auto record = recordOf(window);
    return record && record->minimized;
}

WindowHandle foregroundWindow() { return detail::readForeground(); }

// ---- messages ----------------------------------------------------------------

std::optional<LRESULT> sendMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam, int timeoutMs)
{
    return deliver(RequestKind::Send, window, message, wParam, lParam, 0, timeoutMs);
}

bool postMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA)
        return false;
    return deliver(RequestKind::Post, window, message, wParam, lParam, 0, kDefaultSendTimeoutMs).has_value();
}

bool showWindow(WindowHandle window, int showCommand)
{
    return deliver(RequestKind::Show, window, 0, 0, 0, showCommand, kDefaultSendTimeoutMs).value_or(0) != 0;
}

bool bringWindowToTop(WindowHandle window)
{
    return deliver(RequestKind::Raise, window, 0, 0, 0, 0, kDefaultSendTimeoutMs).value_or(0) != 0;
}

bool setForegroundWindow(WindowHandle window)
{
    return deliver(RequestKind::Activate, window, 0, 0, 0, 0, kDefaultSendTimeoutMs).value_or(0) != 0;
}

void switchToThisWindow(WindowHandle window, bool /*altTab*/)
{
    // Restores a minimised window and brings it to the foreground.
    if (isIconic(window))
        showWindow(window, SW_RESTORE);
    setForegroundWindow(window);
}

void processPendingMessages() { WindowHub::instance().dispatchQueued(false); }

} // namespace platform
