#pragma once
// Where things are: the program's own folder, the current directory and the
// user's special folders. Paths are UTF-8 (file names as the system has them)
// and use '/' as separator.

#include <string>

namespace platform {

// Full path of the running executable, resolved through symbolic links, so a
// program started through a link still finds the files beside its real self.
std::string programPath();

// The folder that holds the running executable, without a trailing separator.
std::string programFolder();

// The process's current directory, without a trailing separator.
std::string currentDirectory();

// The user's roaming application-data folder: $XDG_CONFIG_HOME, else
// ~/.config. Not created by the lookup; no trailing separator.
std::string roamingAppDataFolder();

// The user's temporary folder: $TMPDIR, else /tmp, always with a trailing '/'
// (as the Windows lookup returns it, so callers append names directly).
std::string tempFolder();

// The user's documents folder from the XDG user-dirs configuration
// (XDG_DOCUMENTS_DIR), else ~/Documents; created when missing. Empty text when
// it can neither be found nor created.
std::string documentsFolder();

// Joins two path parts with exactly one '/' between them.
std::string joinPath(const std::string& folder, const std::string& name);

} // namespace platform
