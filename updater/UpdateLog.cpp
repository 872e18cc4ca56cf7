#include "updater/UpdateLog.h"

#include "updater/UpdaterGlobals.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <sys/stat.h>

namespace {

// The local time as the log shows it. Plain decimal numbers without leading
// zeros or digit grouping, whatever the user's locale.
std::string TimeStampText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char text[128];
    std::snprintf(text, sizeof text, "操作时间：%d年%d月%d日%d时%d分%d秒", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

} // namespace

std::string LogFilePath()
{
    return g_strAppDir + "Log/Log.txt";
}

void CreateLogFolder()
{
    ::mkdir((g_strAppDir + "Log").c_str(), 0755);
}

void WriteLog(std::string_view message)
{
    std::string entry = TimeStampText() + "\n";
    entry += "日志内容：";
    entry += message;
    entry += "\n";
    entry += std::string(77, '=') + "\n\n";

    std::FILE* file = std::fopen(LogFilePath().c_str(), "a");
    if (!file)
        return;
    // One write, so that two Fetchwells writing at once interleave whole entries.
    std::fwrite(entry.data(), 1, entry.size(), file);
    std::fclose(file);
}
