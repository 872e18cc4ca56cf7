#pragma once
// Text conversions between the code pages the programs use.
//
// "ANSI" is the system ANSI code page of a Windows program; here it is the
// character set of the locale the environment chooses (what
// nl_langinfo(CODESET) reports after setlocale(LC_ALL, "")): UTF-8 normally,
// GBK under a zh_CN.GBK locale. It is looked up with newlocale, so the
// process's own locale is never changed. A plain ASCII locale (C or POSIX, as
// when LANG is unset) and a locale that is not installed count as UTF-8, so
// Chinese titles and texts survive there.
//
// Engine strings are UTF-16. Conversions go through iconv. A character the
// target code page cannot hold becomes that code page's default character
// ('?'); an unpaired surrogate becomes '?' as well, or U+FFFD when the target
// is UTF-8. Bytes that are not valid in the source code page become U+FFFD
// when decoding, one per byte (an incomplete sequence at the end becomes a
// single U+FFFD).

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Name of the ANSI code page as iconv knows it ("UTF-8", "GBK", ...).
std::string ansiCodePageName();

std::u16string ansiToUtf16(std::string_view ansi);
std::string utf16ToAnsi(std::u16string_view text);

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view text);

// The Chinese code page (GBK, with 0x80 as the euro sign as in Windows code
// page 936), for the few places that ask for it by name. Needs no locale.
std::u16string gbkToUtf16(std::string_view gbk);
std::string utf16ToGbk(std::u16string_view text);

// Shorthands through UTF-16.
std::string ansiToUtf8(std::string_view ansi);
std::string utf8ToAnsi(std::string_view utf8);

// True when the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view text);

// The longest start of `ansi` of at most maxBytes bytes that does not end in
// the middle of a character of the ANSI code page (for fixed-size buffers).
std::string truncateAnsi(std::string_view ansi, std::size_t maxBytes);

} // namespace platform
