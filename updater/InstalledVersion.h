#pragma once
// The keys Fetchwell uses in configure.ini (section LinkInfo), the file it
// shares with the tray tool. Read and written at the moment of use.

#include <string>

// The manifest's address, `updatexmlurl`.
std::string ReadUpdateXmlUrl();

// The installed version text, `version`; empty when missing.
std::string ReadInstalledVersion();

// Writes `version`; false (errno set) when configure.ini cannot be written.
bool WriteInstalledVersion(const std::string& strVersion);

// True when g_strServerVersion differs from the installed version in any
// byte. There is no ordering: a lower server version counts as new, and so
// does any server version when none is installed.
bool IsNewVersion();

// Records g_strServerVersion as the installed version.
bool SaveVersion();
