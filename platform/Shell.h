#pragma once
// The desktop's handlers for addresses and files.

#include <string>

namespace platform {

// Opens an address or file with the desktop's handler, as the shell's "open"
// verb does: starts xdg-open with the target as its only argument, never
// through a shell (a target starting with '-' is passed as "./-..." so it
// cannot read as an option). True when xdg-open was started; whether the
// handler then succeeds is not waited for. False for an empty target.
bool shellOpen(const std::string& target);

// The program registered for files like `file` (by its MIME type, from the
// name alone when the file does not exist), as a path or bare name; empty
// text when none is registered. The registration is the XDG one: the default
// applications of the mimeapps.list files (XDG_CONFIG_HOME, XDG_CONFIG_DIRS,
// then the applications folders of XDG_DATA_HOME and XDG_DATA_DIRS, each
// desktop-specific list of XDG_CURRENT_DESKTOP first), then their added
// associations, then desktop files that list the type, less the removed
// associations; the type itself first, then the types it derives from. The
// program is the first word of the desktop file's Exec line.
std::string findExecutableFor(const std::string& file);

} // namespace platform
