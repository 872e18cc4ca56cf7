#include "updater/DurableFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string& strPath)
{
    const auto slash = strPath.rfind('/');
    return slash == std::string::npos ? std::string(".") : strPath.substr(0, slash + 1);
}

bool SyncDescriptorOf(const std::string& strPath, int flags)
{
    const int fd = ::open(strPath.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool bSynced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return bSynced;
}

} // namespace

bool WriteFileDurably(const std::string& strTempPath, const std::string& strPath, const std::string& text)
{
    const int fd = ::open(strTempPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(strTempPath.c_str());
            errno = error;
            return false;
        }
        data += written;
        left -= std::size_t(written);
    }
    int error = ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(strTempPath.c_str());
        errno = error;
        return false;
    }
    if (std::rename(strTempPath.c_str(), strPath.c_str()) != 0) {
        error = errno;
        ::unlink(strTempPath.c_str());
        errno = error;
        return false;
    }
    SyncFolder(FolderOf(strPath));
    return true;
}

bool SyncFile(const std::string& strPath)
{
    return SyncDescriptorOf(strPath, O_RDONLY);
}

bool SyncFolder(const std::string& strFolder)
{
    return SyncDescriptorOf(strFolder, O_RDONLY | O_DIRECTORY);
}
