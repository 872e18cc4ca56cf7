#pragma once
// Ending a Qt program cleanly on SIGTERM or SIGINT.

namespace platform {

// From now on SIGTERM and SIGINT end the application's event loop
// (QCoreApplication::quit), so the program leaves main() normally. Call it
// after the application object exists. The signal handler itself only writes
// a byte to a pipe that the event loop watches: quitting from inside a signal
// handler is not safe.
void quitOnTerminationSignals();

} // namespace platform
