#include "platform/WindowWire.h"

#include "platform/RuntimeFolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::detail {
namespace {

// The socket's address. A path too long for sockaddr_un (a deep runtime
// folder) moves to the abstract namespace under a name derived from the path.
bool socketAddress(const ProcessKey& key, sockaddr_un& address, socklen_t& length)
{
    std::string folder = runtimeSubfolder("procs");
    if (folder.empty())
        return false;
    std::string path = folder + "/" + key.toString() + ".sock";
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() < sizeof address.sun_path) {
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        length = socklen_t(offsetof(sockaddr_un, sun_path) + path.size() + 1);
        return true;
    }
    std::string name = "tolvan-" + std::to_string(std::hash<std::string>{}(path));
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return true;
}

int remainingMs(Clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : int(left);
}

bool waitFor(int fd, short events, Clock::time_point deadline)
{
    while (true) {
        pollfd entry{fd, events, 0};
        int ready = ::poll(&entry, 1, remainingMs(deadline));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

int listenForMessages(const ProcessKey& self)
{
    sockaddr_un address{};
    socklen_t length = 0;
    if (!socketAddress(self, address, length))
        return -1;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (address.sun_path[0] != '\0')
        ::unlink(address.sun_path);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 64) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void removeMessageSocket(const ProcessKey& self)
{
    sockaddr_un address{};
    socklen_t length = 0;
    if (socketAddress(self, address, length) && address.sun_path[0] != '\0')
        ::unlink(address.sun_path);
}

int connectToProcess(const ProcessKey& owner)
{
    sockaddr_un address{};
    socklen_t length = 0;
    if (!socketAddress(owner, address, length))
        return -1;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<sockaddr*>(&address), length);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool writeAll(int fd, const void* data, std::size_t size, Clock::time_point deadline)
{
    auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::send(fd, bytes, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written > 0) {
            bytes += written;
            size -= std::size_t(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(fd, POLLOUT, deadline))
            continue;
        return false;
    }
    return true;
}

bool readAll(int fd, void* data, std::size_t size, Clock::time_point deadline)
{
    auto* bytes = static_cast<char*>(data);
    while (size > 0) {
        ssize_t got = ::recv(fd, bytes, size, MSG_DONTWAIT);
        if (got > 0) {
            bytes += got;
            size -= std::size_t(got);
            continue;
        }
        if (got == 0)
            return false;  // the peer closed the connection
        if (errno == EINTR)
            continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(fd, POLLIN, deadline))
            continue;
        return false;
    }
    return true;
}

bool writeRequest(int fd, const RequestHeader& header, const void* payload, Clock::time_point deadline)
{
    RequestHeader framed = header;
    framed.magic = kRequestMagic;
    return writeAll(fd, &framed, sizeof framed, deadline) &&
           (framed.payloadSize == 0 || writeAll(fd, payload, framed.payloadSize, deadline));
}

std::optional<Request> readRequest(int fd, Clock::time_point deadline)
{
    Request request;
    if (!readAll(fd, &request.header, sizeof request.header, deadline) ||
        request.header.magic != kRequestMagic || request.header.payloadSize > kMaxPayload)
        return std::nullopt;
    request.payload.resize(request.header.payloadSize);
    if (!request.payload.empty() && !readAll(fd, request.payload.data(), request.payload.size(), deadline))
        return std::nullopt;
    return request;
}

bool writeReply(int fd, ReplyStatus status, LRESULT result)
{
    ReplyFrame reply{kReplyMagic, std::int32_t(status), std::int64_t(result)};
    // The sender waits for this; a sender that gave up has closed its end.
    return writeAll(fd, &reply, sizeof reply, Clock::now() + std::chrono::seconds(2));
}

std::optional<ReplyFrame> readReply(int fd, Clock::time_point deadline)
{
    ReplyFrame reply;
    if (!readAll(fd, &reply, sizeof reply, deadline) || reply.magic != kReplyMagic)
        return std::nullopt;
    return reply;
}

} // namespace platform::detail
