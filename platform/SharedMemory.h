#pragma once
// Named shared memory in the per-logon namespace, with the lifetime of a
// pagefile-backed Windows file mapping: the region exists while any process
// holds it open; when the last holder has ended (or been killed), the next
// creator starts from zeros.

#include <cstddef>
#include <string>

namespace platform {

class SharedMemory {
public:
    static constexpr std::size_t kDefaultSize = 4096;

    SharedMemory() = default;
    ~SharedMemory();
    SharedMemory(SharedMemory&& other) noexcept;
    SharedMemory& operator=(SharedMemory&& other) noexcept;
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    // Creates the region (zero-filled) or opens the existing one, mapped
    // read-write. Invalid on failure.
    static SharedMemory createOrOpen(const std::string& name, std::size_t size = kDefaultSize);
    // Opens an existing region only; invalid when no process holds it.
    static SharedMemory openExisting(const std::string& name);

    bool isValid() const { return m_data != nullptr; }
    // True when createOrOpen() found the region held by another process.
    bool alreadyExisted() const { return m_alreadyExisted; }
    void* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    // Unmaps and closes now.
    void close();

private:
    int m_fd = -1;
    void* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_alreadyExisted = false;
};

} // namespace platform
