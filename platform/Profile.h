#pragma once
// Profile (INI) files with the semantics of the Windows profile functions:
//
//  - sections and keys are matched without regard to ASCII case; blanks
//    around names and values are trimmed; a line starting with ';' is a
//    comment; the first matching section and key count;
//  - a read returns at most bufferSize - 1 bytes (260-byte buffers by default,
//    cut at a character boundary), or the default text when the file, section
//    or key is missing; a key with an empty value reads as empty text;
//  - a write replaces the key's line in place (keeping the key's spelling and
//    dropping later lines of the same key in that section), appends a new key
//    at the end of its section or a new section at the end of the file, and
//    keeps every other line of the file as it was; new lines end like the
//    file's first line (LF for a new file);
//  - a write never leaves a half-written file: it writes a temporary file
//    beside it and renames it over the old one, keeping the file's mode. It
//    holds the lock file Qt's settings writer uses ("<file>.lock", QLockFile)
//    meanwhile, so writes of both kinds never overlap. It creates the file but
//    no missing folder.
//
// The tray tool writes the same files with Qt's INI settings writer, which
// stores UTF-8. Names and values are the caller's ANSI code page (see
// CodePage.h) and are converted to and from UTF-8 when that code page is not
// UTF-8 (a value that is not valid UTF-8 is returned as it stands, so files
// saved in the ANSI code page still read). A read undoes the Qt writer's
// quoting and escapes (a "quoted" value loses its quotes, as a Windows
// profile read does); a write quotes and escapes values as the Qt writer does,
// so the Qt reader takes nothing apart (unquoted, a ',' would make the value
// a list and a ';' would start a comment). Details in ProfileEscapes.h.

#include <cstddef>
#include <string>

namespace platform {

inline constexpr std::size_t kProfileBufferSize = 260;

std::string readProfileString(const std::string& file, const std::string& section,
                              const std::string& key, const std::string& defaultValue = {},
                              std::size_t bufferSize = kProfileBufferSize);

// Returns false when the file cannot be written (missing folder, no right to
// write, the lock held elsewhere for more than ten seconds, empty section or
// key name); the file is then unchanged.
bool writeProfileString(const std::string& file, const std::string& section,
                        const std::string& key, const std::string& value);

} // namespace platform
