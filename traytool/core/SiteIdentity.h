#pragma once
// The site identity on the tray tool's command line: "compId;username" as the
// first argument. The client passes it after a web login; at its own start it
// passes its executable path instead, which carries no identity.

#include <QStringList>

class CConfigure;

namespace traytool {

// Stores the identity of the first argument in the user's configuration and
// returns the start mode: kStartWithIdentity, or kStartWithoutIdentity when
// the argument does not split into at least two ";"-separated parts (the
// stored identity then stays as it is).
int applySiteIdentity(const QStringList& arguments, const CConfigure& config);

// The arguments after the program name, decoded from the locale's code page.
QStringList commandLineArguments(int argc, char** argv);

} // namespace traytool
