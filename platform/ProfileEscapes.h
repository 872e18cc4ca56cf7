#pragma once
// How Qt's INI settings format (QSettings::IniFormat, Qt 6) spells names and
// values, so profile reads and writes agree with the tray tool's settings
// writer. All texts here are UTF-8, the encoding Qt reads and writes.
//
// Names (sections and keys): letters, digits, '_', '-' and '.' stand as they
// are, '/' is written '\', any other character up to U+00FF as %XX and above
// as %UXXXX (one per UTF-16 unit). Raw UTF-8 is read as well.
//
// Values: '"' and '\' are escaped with '\', control characters as \n, \t, ...
// or \x<hex>; a value with ';', ',' or '=' or with a leading or trailing blank
// is enclosed in double quotes (unquoted, Qt would read ';' as the start of a
// comment and ',' as a list separator); a value starting with '@' gets a
// second '@', and one holding a NUL character is written @String(...).

#include <string>
#include <string_view>

namespace platform::profile_escapes {

std::string escapeName(std::string_view name);
std::string unescapeName(std::string_view name);

std::string escapeValue(std::string_view value);

// Reads a value as it stands after '=' (blanks around it already trimmed).
// A value in the form the Qt writer produces is decoded as Qt reads it. Any
// other value (one with an unknown escape, a stray quote, or an unquoted ';'
// or ',', which only a person or a Windows program writes) is taken as it
// stands, less a pair of enclosing double quotes: a Windows profile read.
std::string unescapeValue(std::string_view value);

} // namespace platform::profile_escapes
