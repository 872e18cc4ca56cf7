#pragma once
// The client's files beside its executable, and config.ini.
//
// config.ini (read only, each value at most 259 bytes, empty when missing):
//   [title] title   main-window title when the command line gives none
//   [url]   url     start address when the command line gives none

#include <string>

// Full path of a file in the program's folder.
std::string ProgramFilePath(const std::string& name);

std::string ReadConfigIni(const std::string& section, const std::string& key);
