#include "platform/NamedObjectFile.h"

#include "platform/RuntimeFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform::detail {
namespace {

// Holds the kind's creation lock for the lifetime of the object.
class CreationLock {
public:
    explicit CreationLock(const std::string& folder)
    {
        m_fd = ::open((folder + "/.creation-lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0 && flockRetrying(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~CreationLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);  // closing drops the lock
    }
    bool held() const { return m_fd >= 0; }

    static int flockRetrying(int fd, int operation)
    {
        int result;
        do {
            result = ::flock(fd, operation);
        } while (result != 0 && errno == EINTR);
        return result;
    }

private:
    int m_fd = -1;
};

} // namespace

std::optional<NamedObjectHandle> openNamedObject(const std::string& kind, const std::string& name,
                                                 NamedObjectOpen mode,
                                                 const std::function<bool(int fd)>& initialise)
{
    const std::string folder = runtimeSubfolder(kind);
    if (folder.empty())
        return std::nullopt;
    CreationLock creation(folder);
    if (!creation.held())
        return std::nullopt;

    const std::string path = folder + "/" + encodeObjectName(name);
    int flags = O_RDWR | O_CLOEXEC;
    if (mode == NamedObjectOpen::CreateOrOpen)
        flags |= O_CREAT;
    int fd = ::open(path.c_str(), flags, 0600);
    if (fd < 0)
        return std::nullopt;

    NamedObjectHandle handle{fd, false};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // Nobody holds the object: it is new, or what is left of holders that
        // have all ended.
        if (mode == NamedObjectOpen::OpenExisting) {
            ::unlink(path.c_str());
            ::close(fd);
            return std::nullopt;
        }
        if (initialise && !initialise(fd)) {
            ::unlink(path.c_str());
            ::close(fd);
            return std::nullopt;
        }
    } else {
        handle.existed = true;
    }
    // Everyone else holds it shared; we hold the creation lock, so nobody can
    // be holding it exclusively now and this does not wait.
    if (CreationLock::flockRetrying(fd, LOCK_SH) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return handle;
}

} // namespace platform::detail
