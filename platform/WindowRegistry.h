#pragma once
// The per-logon registry of top-level windows, in the runtime folder:
//
//   windows/<pid>-<start>-<id>   one small record per window: when it was
//                                registered, its title and its state; written
//                                by its owner only, replaced atomically
//   procs/<pid>-<start>.lock     held locked by each process that owns
//                                windows, for its whole life
//   foreground                   the window activated last
//
// A reader that can lock a process's lock file knows that the process has
// ended (the kernel drops the lock with the process, also on a kill); it then
// removes that process's records, so searches never return a dead window.

#include "platform/ProcessIdentity.h"
#include "platform/Windows.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::detail {

struct WindowRecord {
    WindowHandle handle;
    std::string title;
    bool visible = false;
    bool minimized = false;
    std::uint64_t registeredAt = 0;  // nanoseconds, orders registrations
};

// Takes this process's lock; false when the runtime folder is unusable.
bool holdOwnerLock(const ProcessKey& self);
void releaseOwnerLock(const ProcessKey& self);

bool writeRecord(const WindowRecord& record);
void removeRecord(const WindowHandle& handle);

// The record of a window whose owner is alive.
std::optional<WindowRecord> readRecord(const WindowHandle& handle);
// Every live window, oldest registration first; dead owners' records are
// removed on the way.
std::vector<WindowRecord> liveRecords();

bool isOwnerAlive(const ProcessKey& owner);

void writeForeground(const WindowHandle& handle);
WindowHandle readForeground();

} // namespace platform::detail
