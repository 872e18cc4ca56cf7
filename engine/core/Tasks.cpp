// Tasks posted to the engine's threads: TID_UI is the Qt GUI thread, TID_FILE
// a worker thread that runs its tasks in order.
#include "engine/cef/CefTask.h"
#include "engine/core/Tasks.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class FileThread {
public:
    void start()
    {
        std::lock_guard lock(m_mutex);
        if (m_thread.joinable())
            return;
        m_stopping = false;
        m_thread = std::thread([this] { run(); });
        m_id = m_thread.get_id();
    }

    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            if (!m_thread.joinable())
                return;
            m_stopping = true;
        }
        m_wake.notify_all();
        m_thread.join();
        std::lock_guard lock(m_mutex);
        m_thread = std::thread();
        m_id = {};
        m_delayed.clear();
    }

    bool post(CefRefPtr<CefTask> task, long delayMs)
    {
        {
            std::lock_guard lock(m_mutex);
            if (!m_thread.joinable() || m_stopping)
                return false;
            if (delayMs <= 0)
                m_ready.push_back(task);
            else
                m_delayed.emplace(Clock::now() + std::chrono::milliseconds(delayMs), task);
        }
        m_wake.notify_all();
        return true;
    }

    bool isCurrent() const { return std::this_thread::get_id() == m_id; }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        while (true) {
            moveDueTasks();
            if (!m_ready.empty()) {
                CefRefPtr<CefTask> task = std::move(m_ready.front());
                m_ready.pop_front();
                lock.unlock();
                task->Execute(TID_FILE);
                task = nullptr;
                lock.lock();
                continue;
            }
            if (m_stopping)
                return;
            if (m_delayed.empty())
                m_wake.wait(lock);
            else
                m_wake.wait_until(lock, m_delayed.begin()->first);
        }
    }

    void moveDueTasks()
    {
        const auto now = Clock::now();
        while (!m_delayed.empty() && m_delayed.begin()->first <= now) {
            m_ready.push_back(m_delayed.begin()->second);
            m_delayed.erase(m_delayed.begin());
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_thread;
    std::thread::id m_id;
    bool m_stopping = false;
    std::deque<CefRefPtr<CefTask>> m_ready;
    std::multimap<Clock::time_point, CefRefPtr<CefTask>> m_delayed;
};

FileThread& fileThread()
{
    static FileThread thread;
    return thread;
}

bool postToUi(CefRefPtr<CefTask> task, long delayMs)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return false;
    auto run = [task] { task->Execute(TID_UI); };
    if (delayMs <= 0) {
        QMetaObject::invokeMethod(app, run, Qt::QueuedConnection);
        return true;
    }
    // Timers belong to the GUI thread: start this one there.
    QMetaObject::invokeMethod(
        app, [app, run, delayMs] { QTimer::singleShot(int(delayMs), app, run); },
        Qt::QueuedConnection);
    return true;
}

class FunctionTask : public CefTask {
public:
    explicit FunctionTask(std::function<void()> function) : m_function(std::move(function)) {}
    void Execute(CefThreadId) override
    {
        if (m_function)
            m_function();
    }

private:
    std::function<void()> m_function;
    IMPLEMENT_REFCOUNTING(FunctionTask);
};

} // namespace

namespace engine {

void startFileThread() { fileThread().start(); }
void stopFileThread() { fileThread().stop(); }

} // namespace engine

bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task)
{
    return CefPostDelayedTask(threadId, task, 0);
}

bool CefPostDelayedTask(CefThreadId threadId, CefRefPtr<CefTask> task, long delayMs)
{
    if (!task)
        return false;
    switch (threadId) {
    case TID_UI: return postToUi(task, delayMs);
    case TID_FILE: return fileThread().post(task, delayMs);
    }
    return false;
}

bool CefCurrentlyOn(CefThreadId threadId)
{
    switch (threadId) {
    case TID_UI: {
        QCoreApplication* app = QCoreApplication::instance();
        return app && QThread::currentThread() == app->thread();
    }
    case TID_FILE: return fileThread().isCurrent();
    }
    return false;
}

CefRefPtr<CefTask> NewCefRunnableFunction(std::function<void()> function)
{
    return new FunctionTask(std::move(function));
}
