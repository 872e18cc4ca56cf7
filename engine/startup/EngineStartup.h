#pragma once
// The client's start-up and shutdown of the browser engine.
//
// The engine's settings come from an engine command line that starts as a
// copy of the process's command line; two switches are forced into it first:
// "multi-threaded-message-loop" and "cache-path" = the user's temporary
// folder + "WebKitCache" (replacing any "cache-path" given). The process's
// command line can therefore tune the other settings (--user-agent=...,
// --javascript-flags=..., ...). The locale is always "zh-CN" and the engine
// writes no log.

#include "engine/cef/CefApp.h"
#include "engine/cef/CefCommandLine.h"

#include <functional>
#include <string>

namespace engine {

// The engine command line for a process command line; `tempFolder` ends in
// a separator.
CefRefPtr<CefCommandLine> buildEngineCommandLine(int argc, const char* const* argv,
                                                 const std::string& tempFolder);

// The settings the engine command line asks for: flags by the presence of
// their switch, texts as given, numbers like the C library's atoi.
CefSettings engineSettingsFrom(CefRefPtr<CefCommandLine> commandLine);

// Numbers as atoi reads them: blanks, a sign, then digits up to the first
// other character; no digits give 0. Values beyond int are held at its ends.
int atoiLike(const std::string& text);

// "angle" 0, "angle-command-buffer" 1, "desktop" 2, "desktop-command-buffer"
// 3; anything else 0.
cef_graphics_implementation_t graphicsImplementationFrom(const std::string& value);

using EngineMessageBox = std::function<void(const std::string& text)>;

// Starts the engine once per process from the process's command line. When
// the engine cannot start, shows "CEF初始化失败！" (at most once per process,
// through `showMessage`; by default a message box) and returns false, and
// nothing is registered. Otherwise runs `registerExtras` (the application's
// script extension and scheme handlers) and returns true.
bool startEngine(int argc, const char* const* argv, const std::function<void()>& registerExtras,
                 const EngineMessageBox& showMessage = {});

// The engine command line of the last startEngine; empty before.
CefRefPtr<CefCommandLine> engineCommandLine();

// Shuts the engine down; nothing when it was never started.
void shutdownEngine();

inline constexpr const char* kEngineStartFailedText = "CEF初始化失败！";

} // namespace engine
