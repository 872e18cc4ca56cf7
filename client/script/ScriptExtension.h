#pragma once
// The client's own script for every page: httproot/dojopr.txt in the program
// folder lists script files (one name per line, relative to the program
// folder); their contents, joined as they are, become the body of the global
// function dojopr, which the client calls after every page that loaded with
// status 200. Files that cannot be opened for reading and writing (read-only
// files, folders) are left out. The list is read once, at start-up.

#include <optional>
#include <string>

// "function dojopr(){" + the listed files' contents (each up to its first NUL
// byte) + "}" (ANSI); nothing when the list file cannot be read.
std::optional<std::string> BuildDojoprCode(const std::string& programFolder);

// Registers the code as the engine's script extension "v8/test"; nothing
// when there is no list file. Called once, after the engine has started.
void RegisterScriptExtension();
