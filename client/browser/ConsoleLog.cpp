#include "client/browser/ConsoleLog.h"

#include "platform/Paths.h"

#include <cstdio>

std::string ConsoleLogTimeLine(const std::tm& localTime)
{
    return std::to_string(localTime.tm_mon + 1) + "M" + std::to_string(localTime.tm_mday) + "D " +
           std::to_string(localTime.tm_hour) + "H" + std::to_string(localTime.tm_min) + "M \r\n";
}

void AppendConsoleLogRecord(const std::string& ansiText)
{
    const std::string path = platform::joinPath(platform::currentDirectory(), kConsoleLogFileName);
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file)
        return;
    const std::time_t now = std::time(nullptr);
    std::tm localTime{};
    localtime_r(&now, &localTime);
    const std::string record = ConsoleLogTimeLine(localTime) + ansiText + "\r\n";
    std::fwrite(record.data(), 1, record.size(), file);
    std::fclose(file);
}
