#include "platform/Paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The value of XDG_DOCUMENTS_DIR in ~/.config/user-dirs.dirs, with $HOME
// expanded; empty when the file does not set it.
std::string configuredDocumentsFolder()
{
    std::ifstream dirs(joinPath(roamingAppDataFolder(), "user-dirs.dirs"));
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(dirs, line)) {
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            value = homeFolder() + value.substr(5);
        return value.empty() || value.front() != '/' ? std::string() : withoutTrailingSlash(value);
    }
    return {};
}

} // namespace

std::string programPath()
{
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    return std::string(buffer, std::size_t(length));
}

std::string programFolder()
{
    std::string path = programPath();
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string currentDirectory()
{
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer))
        return {};
    return withoutTrailingSlash(buffer);
}

std::string roamingAppDataFolder()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return withoutTrailingSlash(config);
    return joinPath(homeFolder(), ".config");
}

std::string tempFolder()
{
    std::string folder = "/tmp";
    if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp)
        folder = withoutTrailingSlash(tmp);
    return folder == "/" ? folder : folder + "/";
}

std::string documentsFolder()
{
    std::string folder = configuredDocumentsFolder();
    if (folder.empty())
        folder = joinPath(homeFolder(), "Documents");
    struct stat info {};
    if (stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? folder : std::string();
    // Create the missing folder and its missing parents.
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return {};
        if (slash == std::string::npos)
            break;
    }
    return folder;
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    std::string path = withoutTrailingSlash(folder);
    std::size_t first = name.find_first_not_of('/');
    std::string rest = first == std::string::npos ? std::string() : name.substr(first);
    if (path == "/")
        return path + rest;
    return rest.empty() ? path : path + "/" + rest;
}

} // namespace platform
