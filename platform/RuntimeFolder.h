#pragma once
// The per-logon runtime folder: the home of everything that Windows keeps per
// log-on session (named mutexes, named shared memories, the window registry).
// Programs of one user that agree on this folder see each other's objects.
//
//   $TOLVAN_RUNTIME_DIR            when set (tests use a fresh one each)
//   $XDG_RUNTIME_DIR/tolvan        normally
//   /tmp/tolvan-<uid>              when there is no XDG runtime folder
//
// The folder is created with mode 0700 on first use. An existing folder is
// used only when it is a real folder (not a link) of our own user that no one
// else may write to; otherwise there is no runtime folder.

#include <functional>
#include <string>
#include <sys/types.h>

namespace platform {

// The runtime folder a process with the given environment uses (`variable`
// returns a variable's value, or nullptr when it is not set), by the rule
// above; not created. Processes with the same runtime folder belong to one
// log-on.
std::string runtimeFolderPath(const std::function<const char*(const char*)>& variable, uid_t uid);

// The runtime folder, created when missing; empty text when it cannot be
// created (every named object then fails to open, which callers handle).
std::string runtimeFolder();

// A subfolder of the runtime folder, created (mode 0700) when missing.
std::string runtimeSubfolder(const std::string& name);

// Turns an object name (any UTF-8 text) into a file name that keeps letters,
// digits and "-_." and percent-encodes every other byte, so names with '/' or
// blanks cannot leave their folder.
std::string encodeObjectName(const std::string& name);

} // namespace platform
