#pragma once
// ConsoleMsg.log, the client's diagnostic log, in the current directory at the
// time of each write. A record is a time line and the text, each ending in
// CR LF:
//
//   12M9D 15H40M \r\n          month, day, hour, minute of the local time
//   <text>\r\n
//
// The file is opened, appended to and closed per record; a record that
// cannot be written is dropped.

#include <ctime>
#include <string>

inline constexpr const char* kConsoleLogFileName = "ConsoleMsg.log";

// "<month>M<day>D <hour>H<minute>M \r\n", numbers without leading zeros.
std::string ConsoleLogTimeLine(const std::tm& localTime);

// Appends a record with the text (ANSI) to ConsoleMsg.log in the current
// directory.
void AppendConsoleLogRecord(const std::string& ansiText);
