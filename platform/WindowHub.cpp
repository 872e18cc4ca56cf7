#include "platform/WindowHub.h"

#include "platform/RuntimeFolder.h"
#include "platform/WindowRegistry.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace platform::detail {

// The answer to a send between two threads of this process.
struct LocalReply {
    enum Phase { Queued, Running, Done };
    std::mutex mutex;
    Phase phase = Queued;
    bool delivered = false;
    LRESULT result = 0;
    int eventFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    ~LocalReply() { ::close(eventFd); }
};

struct QueuedMessage {
    RequestKind kind = RequestKind::Post;
    std::uint32_t windowId = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int showCommand = 0;
    // WM_COPYDATA from another process: its bytes, handed on by value.
    bool carriesCopyData = false;
    std::uint64_t dwData = 0;
    std::vector<char> payload;
    int replyFd = -1;                        // another process waits here
    std::shared_ptr<LocalReply> localReply;  // another thread of ours waits here

    bool isSent() const { return kind != RequestKind::Post; }
};

namespace {

const QEvent::Type kDispatchEvent = QEvent::Type(QEvent::registerEventType());

// Lives in a thread that owns windows; its event loop handles the queue.
class QueueDispatcher : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() != kDispatchEvent)
            return QObject::event(event);
        WindowHub::instance().dispatchQueued(false);
        return true;
    }
};

struct ThreadQueue {
    std::mutex mutex;
    std::deque<QueuedMessage> items;
    int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    QueueDispatcher* dispatcher = nullptr;  // lives as long as the process
    std::atomic<bool> eventPending{false};
};

struct WindowEntry {
    std::string title;
    WindowKind kind = WindowKind::TopLevel;
    std::thread::id ownerThread;
    std::shared_ptr<WindowProcedure> procedure;
    std::shared_ptr<ShowHandler> showHandler;
    bool visible = false;
    bool minimized = false;
    std::uint64_t registeredAt = 0;
};

std::uint64_t nowNs()
{
    return std::uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count());
}

void wake(int fd)
{
    std::uint64_t one = 1;
    [[maybe_unused]] auto ignored = ::write(fd, &one, sizeof one);
}

void drain(int fd)
{
    std::uint64_t count;
    while (::read(fd, &count, sizeof count) > 0) {
    }
}

int remainingMs(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : int(left);
}

bool isMinimizingCommand(int command) { return command == SW_SHOWMINIMIZED || command == SW_MINIMIZE; }

} // namespace

struct WindowHub::Impl {
    std::mutex mutex;  // guards everything below and the record files
    std::map<std::uint32_t, WindowEntry> windows;
    std::map<std::thread::id, std::shared_ptr<ThreadQueue>> queues;
    std::uint32_t nextId = 1;
    // Runtime folders this process listens in. Normally one; a process whose
    // TOLVAN_RUNTIME_DIR changes (a test program) listens in each it used.
    std::set<std::string> listeningFolders;
    bool exitHandlerInstalled = false;

    std::shared_ptr<ThreadQueue> queueFor(std::thread::id thread)
    {
        auto found = queues.find(thread);
        return found == queues.end() ? nullptr : found->second;
    }

    WindowRecord recordOf(std::uint32_t id, const WindowEntry& entry, const ProcessKey& self) const
    {
        return WindowRecord{WindowHandle{self.pid, self.start, id}, entry.title, entry.visible, entry.minimized,
                            entry.registeredAt};
    }

    void publish(std::uint32_t id, const WindowEntry& entry, const ProcessKey& self)
    {
        if (entry.kind == WindowKind::TopLevel)
            writeRecord(recordOf(id, entry, self));
    }
};

WindowHub& WindowHub::instance()
{
    // Never destroyed: windows may be touched while static objects go away.
    static WindowHub* hub = new WindowHub;
    return *hub;
}

WindowHub::WindowHub() : d(std::make_unique<Impl>()), m_self(currentProcessKey()) {}

// ---- registration -------------------------------------------------------

WindowHandle WindowHub::addWindow(const std::string& title, WindowProcedure procedure, WindowKind kind)
{
    if (kind == WindowKind::TopLevel)
        startListener();

    std::lock_guard lock(d->mutex);
    const std::uint32_t id = d->nextId++;
    WindowEntry& entry = d->windows[id];
    entry.title = title;
    entry.kind = kind;
    entry.ownerThread = std::this_thread::get_id();
    entry.procedure = std::make_shared<WindowProcedure>(std::move(procedure));
    entry.registeredAt = nowNs();
    auto& queue = d->queues[entry.ownerThread];
    if (!queue) {
        queue = std::make_shared<ThreadQueue>();
        queue->dispatcher = new QueueDispatcher;  // belongs to this thread
    }
    d->publish(id, entry, m_self);
    return WindowHandle{m_self.pid, m_self.start, id};
}

void WindowHub::removeWindow(std::uint32_t id)
{
    std::lock_guard lock(d->mutex);
    auto found = d->windows.find(id);
    if (found == d->windows.end())
        return;
    if (found->second.kind == WindowKind::TopLevel)
        removeRecord(WindowHandle{m_self.pid, m_self.start, id});
    d->windows.erase(found);
}

std::string WindowHub::title(std::uint32_t id)
{
    std::lock_guard lock(d->mutex);
    auto found = d->windows.find(id);
    return found == d->windows.end() ? std::string() : found->second.title;
}

void WindowHub::setTitle(std::uint32_t id, const std::string& title)
{
    std::lock_guard lock(d->mutex);
    auto found = d->windows.find(id);
    if (found == d->windows.end() || found->second.title == title)
        return;
    found->second.title = title;
    d->publish(id, found->second, m_self);
}

void WindowHub::setState(std::uint32_t id, bool visible, bool minimized)
{
    std::lock_guard lock(d->mutex);
    auto found = d->windows.find(id);
    if (found == d->windows.end())
        return;
    WindowEntry& entry = found->second;
    if (entry.visible == visible && entry.minimized == minimized)
        return;
    entry.visible = visible;
    entry.minimized = minimized;
    d->publish(id, entry, m_self);
}

void WindowHub::setShowHandler(std::uint32_t id, ShowHandler handler)
{
    std::lock_guard lock(d->mutex);
    auto found = d->windows.find(id);
    if (found != d->windows.end())
        found->second.showHandler = std::make_shared<ShowHandler>(std::move(handler));
}

bool WindowHub::hasWindow(std::uint32_t id)
{
    std::lock_guard lock(d->mutex);
    return d->windows.count(id) != 0;
}

std::optional<WindowRecord> WindowHub::localRecord(std::uint32_t id)
{
    std::lock_guard lock(d->mutex);
    auto found = d->windows.find(id);
    if (found == d->windows.end())
        return std::nullopt;
    return d->recordOf(id, found->second, m_self);
}

void WindowHub::removeOwnFiles()
{
    std::lock_guard lock(d->mutex);
    for (const auto& [id, entry] : d->windows) {
        if (entry.kind == WindowKind::TopLevel)
            removeRecord(WindowHandle{m_self.pid, m_self.start, id});
    }
    removeMessageSocket(m_self);
    releaseOwnerLock(m_self);
}

// ---- receiving from other processes -------------------------------------

void WindowHub::startListener()
{
    const std::string folder = runtimeFolder();
    std::lock_guard lock(d->mutex);
    if (folder.empty() || d->listeningFolders.count(folder) || !holdOwnerLock(m_self))
        return;
    int listenFd = listenForMessages(m_self);
    if (listenFd < 0)
        return;
    d->listeningFolders.insert(folder);
    if (!d->exitHandlerInstalled) {
        std::atexit([] { WindowHub::instance().removeOwnFiles(); });
        d->exitHandlerInstalled = true;
    }
    std::thread([this, listenFd] { listen(listenFd); }).detach();
}

void WindowHub::listen(int listenFd)
{
    while (true) {
        int connection = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            else if (errno != EINTR && errno != ECONNABORTED)
                return;
            continue;
        }
        // A sender writes its whole request at once; one that stalls is cut off.
        auto request = readRequest(connection, Clock::now() + std::chrono::seconds(5));
        if (!request) {
            ::close(connection);
            continue;
        }
        QueuedMessage message;
        message.kind = RequestKind(request->header.kind);
        message.windowId = request->header.windowId;
        message.message = request->header.message;
        message.wParam = WPARAM(request->header.wParam);
        message.lParam = LPARAM(request->header.lParam);
        message.showCommand = request->header.showCommand;
        message.carriesCopyData = message.message == WM_COPYDATA;
        message.dwData = request->header.dwData;
        message.payload = std::move(request->payload);

        const bool post = message.kind == RequestKind::Post;
        const bool knownKind = message.kind >= RequestKind::Send && message.kind <= RequestKind::Activate;
        if (!knownKind || (post && message.carriesCopyData)) {
            writeReply(connection, ReplyStatus::Refused, 0);
            ::close(connection);
            continue;
        }
        if (post) {
            // Answer first: the window's thread may end the process as soon
            // as it has the message.
            const bool exists = hasWindow(message.windowId);
            writeReply(connection, exists ? ReplyStatus::Handled : ReplyStatus::NoSuchWindow, 0);
            ::close(connection);
            if (exists)
                enqueue(std::move(message));
            continue;
        }
        message.replyFd = connection;  // answered by the window's thread
        if (!enqueue(std::move(message))) {
            writeReply(connection, ReplyStatus::NoSuchWindow, 0);
            ::close(connection);
        }
    }
}

// ---- queues ----------------------------------------------------------------

bool WindowHub::enqueue(QueuedMessage&& message)
{
    std::shared_ptr<ThreadQueue> queue;
    {
        std::lock_guard lock(d->mutex);
        auto found = d->windows.find(message.windowId);
        if (found == d->windows.end())
            return false;
        queue = d->queueFor(found->second.ownerThread);
    }
    if (!queue)
        return false;
    {
        std::lock_guard lock(queue->mutex);
        queue->items.push_back(std::move(message));
    }
    wake(queue->wakeFd);
    if (!queue->eventPending.exchange(true))
        QCoreApplication::postEvent(queue->dispatcher, new QEvent(kDispatchEvent));
    return true;
}

void WindowHub::dispatchQueued(bool sentOnly)
{
    std::shared_ptr<ThreadQueue> queue;
    {
        std::lock_guard lock(d->mutex);
        queue = d->queueFor(std::this_thread::get_id());
    }
    if (!queue)
        return;
    if (!sentOnly)
        queue->eventPending = false;
    drain(queue->wakeFd);
    while (true) {
        QueuedMessage message;
        {
            std::lock_guard lock(queue->mutex);
            auto next = std::find_if(queue->items.begin(), queue->items.end(),
                                     [sentOnly](const QueuedMessage& item) { return !sentOnly || item.isSent(); });
            if (next == queue->items.end())
                break;
            message = std::move(*next);
            queue->items.erase(next);
        }
        if (message.localReply) {
            std::lock_guard lock(message.localReply->mutex);
            message.localReply->phase = LocalReply::Running;
        }
        bool known = false;
        LRESULT result = handle(message, &known);
        if (message.replyFd >= 0) {
            writeReply(message.replyFd, known ? ReplyStatus::Handled : ReplyStatus::NoSuchWindow, result);
            ::close(message.replyFd);
        }
        if (message.localReply) {
            std::lock_guard lock(message.localReply->mutex);
            message.localReply->phase = LocalReply::Done;
            message.localReply->delivered = known;
            message.localReply->result = result;
            wake(message.localReply->eventFd);
        }
    }
}

LRESULT WindowHub::handle(QueuedMessage& message, bool* known)
{
    std::shared_ptr<WindowProcedure> procedure;
    std::shared_ptr<ShowHandler> showHandler;
    bool wasVisible = false;
    {
        std::lock_guard lock(d->mutex);
        auto found = d->windows.find(message.windowId);
        *known = found != d->windows.end();
        if (!*known)
            return 0;
        procedure = found->second.procedure;
        showHandler = found->second.showHandler;
        wasVisible = found->second.visible;
    }

    switch (message.kind) {
    case RequestKind::Send:
    case RequestKind::Post: {
        COPYDATASTRUCT copy;
        LPARAM lParam = message.lParam;
        if (message.carriesCopyData) {
            copy.dwData = std::uintptr_t(message.dwData);
            copy.cbData = std::uint32_t(message.payload.size());
            copy.lpData = message.payload.empty() ? nullptr : message.payload.data();
            lParam = reinterpret_cast<LPARAM>(&copy);
        }
        return (*procedure)(message.message, message.wParam, lParam);
    }
    case RequestKind::Show:
        if (showHandler)
            return (*showHandler)(ShowRequest::Show, message.showCommand);
        // A window without a widget only records what it was asked.
        setState(message.windowId, message.showCommand != SW_HIDE, isMinimizingCommand(message.showCommand));
        return wasVisible;
    case RequestKind::Raise:
        return showHandler ? (*showHandler)(ShowRequest::Raise, 0) : 1;
    case RequestKind::Activate:
        if (showHandler)
            return (*showHandler)(ShowRequest::Activate, 0);
        writeForeground(WindowHandle{m_self.pid, m_self.start, message.windowId});
        return 1;
    }
    return 0;
}

// ---- sending -----------------------------------------------------------------

void WindowHub::waitForReply(int replyFd, Clock::time_point deadline, const std::function<bool()>& done)
{
    std::shared_ptr<ThreadQueue> ownQueue;
    {
        std::lock_guard lock(d->mutex);
        ownQueue = d->queueFor(std::this_thread::get_id());
    }
    while (!done()) {
        pollfd watched[2] = {{replyFd, POLLIN, 0}, {ownQueue ? ownQueue->wakeFd : -1, POLLIN, 0}};
        int ready = ::poll(watched, 2, remainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return;  // timed out
        if (watched[1].revents & POLLIN)
            dispatchQueued(true);  // messages sent to us while we wait
        if (watched[0].revents)
            return;
    }
}

std::optional<LRESULT> WindowHub::deliverLocal(RequestKind kind, std::uint32_t id, UINT message, WPARAM wParam,
                                               LPARAM lParam, int showCommand, int timeoutMs)
{
    std::thread::id owner;
    {
        std::lock_guard lock(d->mutex);
        auto found = d->windows.find(id);
        if (found == d->windows.end())
            return std::nullopt;
        owner = found->second.ownerThread;
    }

    QueuedMessage queued;
    queued.kind = kind;
    queued.windowId = id;
    queued.message = message;
    queued.wParam = wParam;
    queued.lParam = lParam;  // in-process pointers stay valid: the sender waits
    queued.showCommand = showCommand;

    if (kind == RequestKind::Post)
        return enqueue(std::move(queued)) ? std::optional<LRESULT>(0) : std::nullopt;

    if (owner == std::this_thread::get_id()) {
        bool known = false;
        LRESULT result = handle(queued, &known);
        return known ? std::optional<LRESULT>(result) : std::nullopt;
    }

    auto reply = std::make_shared<LocalReply>();
    queued.localReply = reply;
    if (!enqueue(std::move(queued)))
        return std::nullopt;
    auto finished = [&reply] {
        std::lock_guard lock(reply->mutex);
        return reply->phase == LocalReply::Done;
    };
    waitForReply(reply->eventFd, Clock::now() + std::chrono::milliseconds(timeoutMs), finished);
    while (!finished()) {
        // Timed out. A message not yet taken is withdrawn; one being handled
        // may still use the sender's pointers, so wait for it to finish.
        {
            std::lock_guard lock(d->mutex);
            auto queue = d->queueFor(owner);
            std::lock_guard queueLock(queue->mutex);
            std::lock_guard replyLock(reply->mutex);
            if (reply->phase == LocalReply::Queued) {
                std::erase_if(queue->items, [&reply](const QueuedMessage& item) { return item.localReply == reply; });
                return std::nullopt;
            }
        }
        waitForReply(reply->eventFd, Clock::now() + std::chrono::seconds(1), finished);
    }
    std::lock_guard lock(reply->mutex);
    return reply->delivered ? std::optional<LRESULT>(reply->result) : std::nullopt;
}

std::optional<LRESULT> WindowHub::deliverRemote(RequestKind kind, const WindowHandle& window, UINT message,
                                                WPARAM wParam, LPARAM lParam, int showCommand, int timeoutMs)
{
    if (kind == RequestKind::Post && message == WM_COPYDATA)
        return std::nullopt;
    int fd = connectToProcess(ProcessKey{window.pid, window.processStart});
    if (fd < 0)
        return std::nullopt;

    RequestHeader header;
    header.kind = std::uint32_t(kind);
    header.windowId = window.id;
    header.message = message;
    header.wParam = wParam;
    header.lParam = lParam;
    header.showCommand = showCommand;
    const void* payload = nullptr;
    if (message == WM_COPYDATA && lParam) {
        auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        header.dwData = copy->dwData;
        header.payloadSize = copy->lpData ? copy->cbData : 0;
        payload = copy->lpData;
        header.lParam = 0;
    }

    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::optional<LRESULT> result;
    if (writeRequest(fd, header, payload, deadline)) {
        waitForReply(fd, deadline, [] { return false; });
        // Only a reply that is already there counts; readReply does not wait.
        if (auto reply = readReply(fd, Clock::now()); reply && reply->status == std::int32_t(ReplyStatus::Handled))
            result = LRESULT(reply->result);
    }
    ::close(fd);
    return result;
}

} // namespace platform::detail
