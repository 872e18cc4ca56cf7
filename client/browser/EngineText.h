#pragma once
// Engine strings (UTF-16) to and from the client's narrow texts, which are in
// the system ANSI code page. Characters the code page cannot hold become '?'.

#include "engine/cef/CefString.h"

#include <string>
#include <string_view>

CefString AnsiToCef(std::string_view ansi);
std::string CefToAnsi(const CefString& text);
