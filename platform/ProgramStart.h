#pragma once
// Starting programs by command line, as WinExec and CreateProcess do.
//
// The command line is split into arguments by the rules of the Windows C
// runtime (see splitCommandLine). Its first argument names the program: a bare
// name is looked up first in the starter's own folder, then in PATH; a name
// with a '/' is used as it is. Nothing goes through a shell, so no text inside
// a command line can run another command.
//
// A started program is independent of its starter, as programs are on
// Windows: it is not the starter's child (the starter never waits for it and
// it runs on when the starter ends), it leads a session of its own, its
// signal mask and dispositions are the defaults, and it inherits the
// environment and the current directory but no open descriptor. Like a
// Windows GUI program it has no console: stdin, stdout and stderr are
// /dev/null, unless the environment variable TOLVAN_CHILD_OUTPUT names a
// file, in which case stdout and stderr are appended to that file (the file
// is created when missing; the main job collects the programs' output so).

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace platform {

// Splits a command line as the Windows C runtime does:
// - Blanks and tabs separate arguments; leading ones are skipped.
// - The first argument, the program name, follows simpler rules: every double
//   quote toggles quoting and is dropped, backslashes are plain characters,
//   and it ends at the first blank or tab outside quotes.
// - In later arguments double quotes group blanks and are dropped; inside
//   quotes, "" stands for one literal quote. 2n backslashes before a quote
//   give n backslashes and the quote groups; 2n+1 give n backslashes and a
//   literal quote; backslashes not before a quote are plain characters.
// An empty or blank command line gives no arguments.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// Resolves a program name as described above: the path of an executable
// regular file, or empty text when there is none (empty PATH entries are not
// searched).
std::string findProgram(const std::string& name);

// Starts the program and returns its real process id, or nothing when it
// could not be started (not found, not executable, not an executable format).
// The command-line form takes the arguments from splitCommandLine; the other
// form gets the program name (resolved by findProgram; it also becomes the
// started program's argv[0]) and the further arguments as they are.
std::optional<pid_t> startProgram(std::string_view commandLine);
std::optional<pid_t> startProgram(const std::string& program, const std::vector<std::string>& arguments);

} // namespace platform
