#pragma once
// The building block of named kernel objects (mutexes, shared memories): a
// file in a folder of the per-logon runtime folder, one per object name.
//
// Every open handle is an open descriptor of that file holding a shared
// flock(). The object "exists" while any handle is open: an open that can take
// an exclusive lock at once is alone, so the object is new (or left over from
// holders that have all ended) and is initialised afresh. The kernel drops a
// process's locks when the process ends, also by a kill, which is what makes
// objects vanish with their last holder. Opens are serialised by a creation
// lock in the same folder, so an object is initialised exactly once.
// Descriptors are close-on-exec: started programs never inherit a handle.

#include <functional>
#include <optional>
#include <string>

namespace platform::detail {

struct NamedObjectHandle {
    int fd = -1;
    bool existed = false;  // another process held the object already
};

enum class NamedObjectOpen { CreateOrOpen, OpenExisting };

// Opens the object `name` of the given kind ("mutex", "shm", ...). For a new
// object `initialise` runs with the descriptor (exclusively locked) and may
// fail the open by returning false. Nothing on failure, including an
// OpenExisting of an object nobody holds.
std::optional<NamedObjectHandle> openNamedObject(const std::string& kind, const std::string& name,
                                                 NamedObjectOpen mode,
                                                 const std::function<bool(int fd)>& initialise = {});

} // namespace platform::detail
