#pragma once
// Tells one process from another, also across reuse of process ids: the id
// together with the process's start time (in clock ticks since boot).

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

namespace platform::detail {

struct ProcessKey {
    pid_t pid = 0;
    std::uint64_t start = 0;
    friend bool operator==(const ProcessKey&, const ProcessKey&) = default;
    // "<pid>-<start>", used in the runtime folder's file names.
    std::string toString() const;
};

// The start time of a running process; nothing when it does not exist.
std::optional<std::uint64_t> processStartTime(pid_t pid);

ProcessKey currentProcessKey();

} // namespace platform::detail
