#pragma once
// How a window message travels between processes.
//
// Every process that owns windows listens on a Unix stream socket in the
// runtime folder ("procs/<pid>-<start>.sock"). A sender connects, writes one
// request (a fixed header, then WM_COPYDATA's bytes) and reads one reply. The
// owner's listener thread answers a post at once; a send, show, raise or
// activate is answered by the window's own thread after the window has
// handled it. One connection carries one message.

#include "platform/ProcessIdentity.h"
#include "platform/WindowMessages.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::detail {

using Clock = std::chrono::steady_clock;

enum class RequestKind : std::uint32_t { Send = 1, Post = 2, Show = 3, Raise = 4, Activate = 5 };

struct RequestHeader {
    std::uint32_t magic = 0;
    std::uint32_t kind = 0;
    std::uint32_t windowId = 0;
    std::uint32_t message = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    std::uint64_t dwData = 0;
    std::uint32_t payloadSize = 0;  // WM_COPYDATA's cbData
    std::int32_t showCommand = 0;
};

enum class ReplyStatus : std::int32_t { Handled = 0, NoSuchWindow = 1, Refused = 2 };

struct ReplyFrame {
    std::uint32_t magic = 0;
    std::int32_t status = 0;
    std::int64_t result = 0;
};

struct Request {
    RequestHeader header;
    std::vector<char> payload;
};

inline constexpr std::uint32_t kRequestMagic = 0x544C5752;  // "RWLT"
inline constexpr std::uint32_t kReplyMagic = 0x544C5750;
// WM_COPYDATA larger than this is refused rather than buffered.
inline constexpr std::uint32_t kMaxPayload = 256u * 1024 * 1024;

// Creates, binds and listens on this process's socket; -1 on failure.
int listenForMessages(const ProcessKey& self);
// Removes this process's socket file.
void removeMessageSocket(const ProcessKey& self);

// Connects to a process's socket; -1 when the process does not listen (it has
// ended, or owns no windows).
int connectToProcess(const ProcessKey& owner);

bool writeAll(int fd, const void* data, std::size_t size, Clock::time_point deadline);
bool readAll(int fd, void* data, std::size_t size, Clock::time_point deadline);

bool writeRequest(int fd, const RequestHeader& header, const void* payload, Clock::time_point deadline);
std::optional<Request> readRequest(int fd, Clock::time_point deadline);

bool writeReply(int fd, ReplyStatus status, LRESULT result);
std::optional<ReplyFrame> readReply(int fd, Clock::time_point deadline);

} // namespace platform::detail
