#include "client/browser/EngineText.h"

#include "platform/CodePage.h"

CefString AnsiToCef(std::string_view ansi) { return CefString(platform::ansiToUtf16(ansi)); }

std::string CefToAnsi(const CefString& text) { return platform::utf16ToAnsi(text.ToString16()); }
