#pragma once
// The desktop's handlers for addresses and files.

#include <string>

namespace platform {

// Opens an address or file with the desktop's handler (xdg-open), as the
// shell's "open" verb does. True when the handler was started.
bool shellOpen(const std::string& target);

// The program registered for files like `file` (by its MIME type), as a path
// or bare name; empty text when none is registered.
std::string findExecutableFor(const std::string& file);

} // namespace platform
