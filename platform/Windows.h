#pragma once
// Windows and window messages across the programs of one log-on.
//
// A program registers its windows here. Top-level windows are entered into a
// per-logon registry that every process can search by exact title (findWindow)
// and list; child windows are known inside their own process only. A message
// sent to a window runs the window's procedure on the thread that created the
// window, through that thread's Qt event loop:
//
//  - sendMessage waits for the procedure's result. A send to a window of the
//    calling thread is a direct call. While a thread waits in a send, messages
//    sent to its own windows are still handled, so two programs (or threads)
//    that send to each other never deadlock. A send to a vanished owner fails
//    at once; one to an owner that does not answer fails after the timeout.
//  - postMessage queues the message and returns.
//  - WM_COPYDATA carries its COPYDATASTRUCT by value: the receiver gets a copy
//    of the bytes, valid during the call. Other messages carry wParam and
//    lParam as numbers; pointers in them mean something only inside the
//    sending process.
//
// Show and foreground requests (showWindow, bringWindowToTop, ...) travel the
// same way to the window's owner, which applies them to its widget (see
// WidgetWindow). Visibility and the minimised state are published by the
// owner in the registry, so queries need no round trip.
//
// Registry, sockets and liveness live in the per-logon runtime folder (see
// RuntimeFolder.h); a window whose process has ended, also by a kill, is
// dropped by the next search.
//
// Titles are UTF-8.

#include "platform/WindowMessages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

// Identifies a window of any process of this log-on, like an HWND.
struct WindowHandle {
    pid_t pid = 0;
    std::uint64_t processStart = 0;  // tells a process from a later one with the same id
    std::uint32_t id = 0;            // window number inside its process

    explicit operator bool() const { return id != 0; }
    friend bool operator==(const WindowHandle&, const WindowHandle&) = default;
    std::string toString() const;
    static WindowHandle fromString(const std::string& text);
};

using WindowProcedure = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)>;

// Requests other processes may make of a window, applied by its owner.
enum class ShowRequest { Show, Raise, Activate };

// Applies a show command (SW_...), a raise or an activation to the owner's
// widget. Returns whether the window was visible before (for Show).
using ShowHandler = std::function<bool(ShowRequest request, int showCommand)>;

enum class WindowKind { TopLevel, Child };

// A registered window; unregistered when destroyed. Create and destroy it on
// the thread whose event loop handles its messages.
class Window {
public:
    static std::unique_ptr<Window> create(const std::string& title, WindowProcedure procedure,
                                          WindowKind kind = WindowKind::TopLevel);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    WindowHandle handle() const { return m_handle; }
    std::string title() const;
    void setTitle(const std::string& title);

    // Publishes the owner's state for isWindowVisible, isIconic and the
    // foreground window.
    void setState(bool visible, bool minimized);
    void setActive(bool active);

    void setShowHandler(ShowHandler handler);

private:
    Window() = default;
    WindowHandle m_handle;
};

struct WindowInfo {
    WindowHandle handle;
    std::string title;
    pid_t pid = 0;
    bool visible = false;
    bool minimized = false;
};

// The top-level window with exactly this title; the most recently registered
// one when several have it. An empty handle when there is none.
WindowHandle findWindow(const std::string& title);

// Every top-level window, oldest first.
std::vector<WindowInfo> enumWindows();

bool isWindow(WindowHandle window);
bool isWindowVisible(WindowHandle window);
bool isIconic(WindowHandle window);

inline constexpr int kDefaultSendTimeoutMs = 5000;

// The receiver's result, or nothing when the window does not exist, its owner
// has vanished or did not answer within timeoutMs.
std::optional<LRESULT> sendMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam,
                                   int timeoutMs = kDefaultSendTimeoutMs);

// False when the window does not exist or the message cannot be posted
// (WM_COPYDATA must be sent).
bool postMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam);

// Returns whether the window was visible before, as ShowWindow does.
bool showWindow(WindowHandle window, int showCommand);
bool bringWindowToTop(WindowHandle window);
bool setForegroundWindow(WindowHandle window);
void switchToThisWindow(WindowHandle window, bool altTab);
WindowHandle foregroundWindow();

// Handles the messages queued for the calling thread's windows now. The event
// loop does this by itself; tests and modal waits may call it.
void processPendingMessages();

} // namespace platform
