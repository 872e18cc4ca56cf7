#include "platform/SharedMemory.h"

#include "platform/NamedObjectFile.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

bool mapRegion(int fd, std::size_t size, void** data)
{
    void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (mapped == MAP_FAILED)
        return false;
    *data = mapped;
    return true;
}

} // namespace

SharedMemory::~SharedMemory() { close(); }

SharedMemory::SharedMemory(SharedMemory&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_alreadyExisted(other.m_alreadyExisted)
{
}

SharedMemory& SharedMemory::operator=(SharedMemory&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_alreadyExisted = other.m_alreadyExisted;
    }
    return *this;
}

SharedMemory SharedMemory::createOrOpen(const std::string& name, std::size_t size)
{
    SharedMemory region;
    if (size == 0)
        return region;
    // A new region starts from zeros, also when the file is left over from
    // holders that have all ended.
    auto zeroFill = [size](int fd) {
        return ::ftruncate(fd, 0) == 0 && ::ftruncate(fd, off_t(size)) == 0;
    };
    auto handle = detail::openNamedObject("shm", name, detail::NamedObjectOpen::CreateOrOpen, zeroFill);
    if (!handle)
        return region;
    // An existing region keeps the size its creator gave it; map no more.
    struct stat info {};
    std::size_t mapped = size;
    if (::fstat(handle->fd, &info) == 0 && std::size_t(info.st_size) < mapped)
        mapped = std::size_t(info.st_size);
    if (mapped == 0 || !mapRegion(handle->fd, mapped, &region.m_data)) {
        ::close(handle->fd);
        return region;
    }
    region.m_fd = handle->fd;
    region.m_size = mapped;
    region.m_alreadyExisted = handle->existed;
    return region;
}

SharedMemory SharedMemory::openExisting(const std::string& name)
{
    SharedMemory region;
    auto handle = detail::openNamedObject("shm", name, detail::NamedObjectOpen::OpenExisting);
    if (!handle)
        return region;
    struct stat info {};
    if (::fstat(handle->fd, &info) != 0 || info.st_size <= 0 ||
        !mapRegion(handle->fd, std::size_t(info.st_size), &region.m_data)) {
        ::close(handle->fd);
        return region;
    }
    region.m_fd = handle->fd;
    region.m_size = std::size_t(info.st_size);
    region.m_alreadyExisted = true;
    return region;
}

void SharedMemory::close()
{
    if (m_data) {
        ::munmap(m_data, m_size);
        m_data = nullptr;
        m_size = 0;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace platform
