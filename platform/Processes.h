#pragma once
// Process snapshot, search and termination.
//
// A snapshot lists the processes of this log-on that run a program, in order
// of process id: processes of our effective user whose environment names the
// same per-logon runtime folder as ours (see RuntimeFolder.h). Programs of
// another log-on of the same user, like those of another Windows session,
// are neither found nor stopped; kernel threads and processes that have
// already ended are left out. As on Windows,
// where a snapshot always begins with the idle process, its first entry is a
// pseudo process with id 0 and the name "[System Process]", so the search
// below, which skips the first entry, never skips a real program.

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace platform {

struct ProcessEntry {
    pid_t pid = 0;
    // File name of the process's executable (from /proc/<pid>/exe, without the
    // " (deleted)" of a replaced file), not the kernel's 15-character command
    // name: "MerivoSiteSystem" has 16 characters.
    std::string exeName;
};

inline constexpr std::string_view kSystemProcessName = "[System Process]";

std::vector<ProcessEntry> processSnapshot();

// The first process after the snapshot's first entry whose executable name
// contains `text` (case-sensitive); 0 when there is none.
pid_t findProcessByName(std::string_view text);

// True while the process exists and has not ended (a process that has ended
// but was not yet reaped by its parent counts as ended; when we are that
// parent, it is reaped here).
bool isProcessRunning(pid_t pid);

// Terminates the process at once (SIGKILL); false for a pid that is not a
// single process (0 or negative: kill() would hit whole process groups) or
// that we may not signal. A killed process cannot pass on an exit code; the
// exit code 4 of a Windows termination has no counterpart.
bool terminateProcess(pid_t pid);

// Waits until the process has ended; also for processes that are not our
// children (it watches, it does not need to reap). A child of ours is reaped
// once it has ended. False when it still runs after timeoutMs (a negative
// timeout waits without limit).
bool waitForProcessEnd(pid_t pid, int timeoutMs);

} // namespace platform
