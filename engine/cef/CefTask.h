#pragma once
// Threads of the engine and tasks posted to them.
//
// TID_UI, the engine's user-interface thread, is the Qt GUI thread: Qt
// WebEngine runs there, every handler is called there, and it is the thread
// that owns the application's windows. A synchronous message from an engine
// callback to one of the application's windows is therefore a direct call.
// TID_FILE is a worker thread of the engine that runs its tasks one after the
// other in the order they were posted; it exists from CefInitialize until
// CefShutdown, which runs the tasks still queued before it returns.
//
// A posted task holds a reference to itself until it has run (or been
// dropped because its thread is gone).

#include "engine/cef/CefBase.h"
#include "engine/cef/CefTypes.h"

#include <functional>

class CefTask : public virtual CefBase {
public:
    virtual void Execute(CefThreadId threadId) = 0;
};

// Queues `task` on the thread. False when the thread does not run (TID_UI
// without a Qt application, TID_FILE outside CefInitialize..CefShutdown).
bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task);
// The same after at least `delayMs` milliseconds.
bool CefPostDelayedTask(CefThreadId threadId, CefRefPtr<CefTask> task, long delayMs);
bool CefCurrentlyOn(CefThreadId threadId);

// A task that calls `method` on `object`, holding a reference to the object
// until the task is gone.
template <class T>
CefRefPtr<CefTask> NewCefRunnableMethod(T* object, void (T::*method)())
{
    class MethodTask : public CefTask {
    public:
        MethodTask(T* object, void (T::*method)()) : m_object(object), m_method(method) {}
        void Execute(CefThreadId) override { ((*m_object).*m_method)(); }

    private:
        CefRefPtr<T> m_object;
        void (T::*m_method)();
        IMPLEMENT_REFCOUNTING(MethodTask);
    };
    return new MethodTask(object, method);
}

// A task that runs a function.
CefRefPtr<CefTask> NewCefRunnableFunction(std::function<void()> function);
