#include "platform/NamedMutex.h"

#include "platform/NamedObjectFile.h"

#include <chrono>
#include <thread>
#include <unistd.h>
#include <utility>

namespace platform {

NamedMutex::~NamedMutex() { close(); }

NamedMutex::NamedMutex(NamedMutex&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_alreadyExisted(other.m_alreadyExisted)
{
}

NamedMutex& NamedMutex::operator=(NamedMutex&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_alreadyExisted = other.m_alreadyExisted;
    }
    return *this;
}

NamedMutex NamedMutex::create(const std::string& name)
{
    NamedMutex mutex;
    if (auto handle = detail::openNamedObject("mutex", name, detail::NamedObjectOpen::CreateOrOpen)) {
        mutex.m_fd = handle->fd;
        mutex.m_alreadyExisted = handle->existed;
    }
    return mutex;
}

void NamedMutex::close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

SingleInstanceGuard SingleInstanceGuard::tryAcquire(const std::string& name, int waitMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    SingleInstanceGuard guard;
    while (true) {
        NamedMutex mutex = NamedMutex::create(name);
        if (mutex.isValid() && !mutex.alreadyExisted()) {
            guard.m_mutex = std::move(mutex);
            return guard;
        }
        mutex.close();
        if (Clock::now() >= deadline)
            return guard;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

} // namespace platform
