#pragma once
// Text conversions between the code pages the programs use.
//
// "ANSI" is the system ANSI code page of a Windows program; here it is the
// character set of the process locale (nl_langinfo(CODESET) after
// setlocale(LC_ALL, "")): UTF-8 normally, GBK under a zh_CN.GBK locale.
// Engine strings are UTF-16. Conversions go through iconv. A character the
// target code page cannot hold becomes that code page's default character
// ('?'); bytes that are not valid in the source code page become U+FFFD
// when decoding.

#include <string>
#include <string_view>

namespace platform {

// Name of the ANSI code page as iconv knows it ("UTF-8", "GBK", ...).
std::string ansiCodePageName();

std::u16string ansiToUtf16(std::string_view ansi);
std::string utf16ToAnsi(std::u16string_view text);

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view text);

// The Chinese code page (GBK), for the few places that ask for it by name.
std::u16string gbkToUtf16(std::string_view gbk);
std::string utf16ToGbk(std::u16string_view text);

// Shorthands through UTF-16.
std::string ansiToUtf8(std::string_view ansi);
std::string utf8ToAnsi(std::string_view utf8);

} // namespace platform
