#pragma once
// Profile (INI) files with the semantics of the Windows profile functions:
//
//  - sections and keys are matched without regard to ASCII case;
//  - a read returns at most bufferSize - 1 bytes (260-byte buffers by default),
//    or the default text when the file, section or key is missing;
//  - a write replaces the key's line in place, appends the key to its section
//    or appends a new section, and keeps every other line of the file;
//  - values are raw bytes (the caller's code page); lines end in LF, CR LF
//    read as well.
//
// The tray tool writes the same files with Qt's INI settings writer. Both
// directions agree on plain values, and a read undoes the Qt writer's quoting
// and escapes (a "quoted" value loses its quotes, as a Windows profile read
// does); a write quotes and escapes values that the Qt reader would otherwise
// take apart (a ',' would make it a list, a ';' would start a comment).

#include <cstddef>
#include <string>

namespace platform {

inline constexpr std::size_t kProfileBufferSize = 260;

std::string readProfileString(const std::string& file, const std::string& section,
                              const std::string& key, const std::string& defaultValue = {},
                              std::size_t bufferSize = kProfileBufferSize);

// Returns false when the file cannot be written; the file is then unchanged.
bool writeProfileString(const std::string& file, const std::string& section,
                        const std::string& key, const std::string& value);

} // namespace platform
