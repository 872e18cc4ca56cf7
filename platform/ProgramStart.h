#pragma once
// Starting programs by command line, as WinExec and CreateProcess do.
//
// The command line is split into arguments by the rules of the Windows C
// runtime (blanks and tabs separate, double quotes group, backslashes escape
// quotes only). Its first argument names the program: a bare name is looked
// up first in the starter's own folder, then in PATH; a name with a '/' is
// used as it is. Nothing goes through a shell, so no text inside a command
// line can run another command. The started program does not become a child
// that its starter must wait for: it runs on when the starter ends, as
// programs do on Windows.

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace platform {

std::vector<std::string> splitCommandLine(std::string_view commandLine);

// Resolves a program name as described above; empty text when not found.
std::string findProgram(const std::string& name);

// Starts the program; its process id, or nothing when it could not be started
// (not found, not executable).
std::optional<pid_t> startProgram(std::string_view commandLine);
std::optional<pid_t> startProgram(const std::string& program, const std::vector<std::string>& arguments);

} // namespace platform
