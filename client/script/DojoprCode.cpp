#include "client/script/ScriptExtension.h"

#include "platform/Paths.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace {

// The whole file up to its first NUL byte, when it opens for reading and
// writing; nothing otherwise.
std::optional<std::string> readWritableScript(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb+");
    if (!file)
        return std::nullopt;
    std::string content;
    char buffer[8192];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, count);
    std::fclose(file);
    if (auto nul = content.find('\0'); nul != std::string::npos)
        content.resize(nul);
    return content;
}

} // namespace

std::optional<std::string> BuildDojoprCode(const std::string& programFolder)
{
    std::ifstream list(platform::joinPath(programFolder, "httproot/dojopr.txt"));
    if (!list)
        return std::nullopt;
    std::string code = "function dojopr(){";
    std::string line;
    while (std::getline(list, line)) {
        // Lists written on Windows end their lines in CR LF and may use '\'.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::replace(line.begin(), line.end(), '\\', '/');
        if (auto script = readWritableScript(platform::joinPath(programFolder, line)))
            code += *script;
    }
    code += "}";
    return code;
}
