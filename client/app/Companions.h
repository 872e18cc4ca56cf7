#pragma once
// The two companion programs the client starts: the tray tool (replaced by a
// fresh one at start-up and after a web login) and the updater (started once
// unless it runs). Both are started by bare name, so the copies beside the
// client are found first, and never through a shell.

#include <string>
#include <string_view>
#include <sys/types.h>

// The first running program (after the process list's first entry) whose
// executable name contains `text`; 0 when there is none.
pid_t FindProcessByName(std::string_view text);

// Lets the notification area drop the icons of programs that have ended. The
// desktop's tray does that by itself here, so there is nothing to sweep.
void RefreshTrayArea();

// Ends a running tray tool, waits (briefly) until it is gone so that the new
// one does not meet the old one's single-instance guard, and starts the tray
// tool with `ansiArgument` after its name, unquoted.
void RestartTrayTool(const std::string& ansiArgument);

// Starts the updater unless one runs already.
void StartUpdaterUnlessRunning();
