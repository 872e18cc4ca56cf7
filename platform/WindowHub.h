#pragma once
// The process's side of the window layer: its windows, the queues of
// messages waiting for the threads that own them, and the listener thread
// that receives messages from other processes.
//
// Each thread that owns windows has a queue. A message for one of its windows
// is put on that queue, and the thread is woken twice over: by a Qt event to
// the thread's dispatcher object (its event loop then handles the queue), and
// through an eventfd, which a thread blocked in a send of its own watches, so
// that it handles messages sent to it while it waits.

#include "platform/ProcessIdentity.h"
#include "platform/WindowRegistry.h"
#include "platform/WindowWire.h"
#include "platform/Windows.h"

#include <functional>
#include <memory>
#include <optional>

namespace platform::detail {

// What a queued message asks for and how its answer gets back.
struct QueuedMessage;

class WindowHub {
public:
    static WindowHub& instance();

    const ProcessKey& self() const { return m_self; }

    WindowHandle addWindow(const std::string& title, WindowProcedure procedure, WindowKind kind);
    void removeWindow(std::uint32_t id);
    std::string title(std::uint32_t id);
    void setTitle(std::uint32_t id, const std::string& title);
    void setState(std::uint32_t id, bool visible, bool minimized);
    void setShowHandler(std::uint32_t id, ShowHandler handler);
    bool hasWindow(std::uint32_t id);
    std::optional<WindowRecord> localRecord(std::uint32_t id);

    // A message or request for one of this process's windows. Runs it
    // directly when the calling thread owns the window; otherwise queues it
    // for the owner and, unless it is a post, waits for the answer.
    std::optional<LRESULT> deliverLocal(RequestKind kind, std::uint32_t id, UINT message, WPARAM wParam,
                                        LPARAM lParam, int showCommand, int timeoutMs);

    // A message for another process's window: sends it over the wire and
    // waits, handling messages sent to this thread meanwhile.
    std::optional<LRESULT> deliverRemote(RequestKind kind, const WindowHandle& window, UINT message,
                                         WPARAM wParam, LPARAM lParam, int showCommand, int timeoutMs);

    // Handles what is queued for the calling thread; only sent messages when
    // `sentOnly` (the state of a thread that waits in a send).
    void dispatchQueued(bool sentOnly);

    // Removes this process's records, socket and lock (at a normal exit; a
    // killed process leaves them to the next search).
    void removeOwnFiles();

private:
    WindowHub();
    void startListener();
    void listen(int listenFd);
    bool enqueue(QueuedMessage&& message);
    LRESULT handle(QueuedMessage& message, bool* known);
    void waitForReply(int replyFd, Clock::time_point deadline, const std::function<bool()>& done);
    struct Impl;
    std::unique_ptr<Impl> d;
    ProcessKey m_self;
};

} // namespace platform::detail
