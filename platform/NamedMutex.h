#pragma once
// A named mutex in the per-logon namespace, used as a single-instance guard.
//
// Like a Windows named mutex, the object exists while any process holds a
// handle to it. create() opens the object and tells whether it already
// existed (another process holds it). The kernel releases the handle when its
// process ends, also when the process is killed: every handle is an open file
// with a shared flock() on it, and the kernel drops the lock with the file.
// Handles are never inherited by started programs.

#include <string>

namespace platform {

class NamedMutex {
public:
    NamedMutex() = default;
    ~NamedMutex();
    NamedMutex(NamedMutex&& other) noexcept;
    NamedMutex& operator=(NamedMutex&& other) noexcept;
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Creates the mutex, or opens it when another process holds it already.
    static NamedMutex create(const std::string& name);

    bool isValid() const { return m_fd >= 0; }
    // True when the mutex existed before this create(), as with
    // ERROR_ALREADY_EXISTS.
    bool alreadyExisted() const { return m_alreadyExisted; }
    // Closes the handle now.
    void close();

private:
    int m_fd = -1;
    bool m_alreadyExisted = false;
};

// The single-instance guard of a program: holds the named mutex only when no
// other process held it. tryAcquire waits up to waitMs for a holder that is
// ending (a program that was just killed releases its guard when it is gone).
class SingleInstanceGuard {
public:
    static SingleInstanceGuard tryAcquire(const std::string& name, int waitMs = 0);
    bool acquired() const { return m_mutex.isValid(); }

private:
    NamedMutex m_mutex;
};

} // namespace platform
