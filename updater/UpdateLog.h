#pragma once
// Fetchwell's log, Log/Log.txt in the program folder: one four-line entry per
// event, appended, never truncated.
//
//   操作时间：2024年3月5日9时7分2秒
//   日志内容：<message>
//   =============================================================================
//   <empty line>

#include <string>
#include <string_view>

// Log/Log.txt in the program folder.
std::string LogFilePath();

// Creates the Log folder (one level) when it is missing.
void CreateLogFolder();

// Appends one entry; a log that cannot be opened loses the entry silently.
void WriteLog(std::string_view message);
