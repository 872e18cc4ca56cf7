#include "platform/RuntimeFolder.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Creates the folder, or accepts an existing one only when it is a folder of
// our own that nobody else may change: in a shared parent such as /tmp
// another user could have made it first (or put a link there) and could then
// replace our objects' files with their own.
bool ensureFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string runtimeFolderPath(const std::function<const char*(const char*)>& variable, uid_t uid)
{
    if (const char* overridden = variable("TOLVAN_RUNTIME_DIR"); overridden && *overridden)
        return overridden;
    if (const char* xdg = variable("XDG_RUNTIME_DIR"); xdg && *xdg)
        return std::string(xdg) + "/tolvan";
    return "/tmp/tolvan-" + std::to_string(uid);
}

std::string runtimeFolder()
{
    // Read the environment every time: tests point programs at fresh folders.
    std::string folder = runtimeFolderPath([](const char* name) { return std::getenv(name); }, getuid());
    return ensureFolder(folder) ? folder : std::string();
}

std::string runtimeSubfolder(const std::string& name)
{
    std::string folder = runtimeFolder();
    if (folder.empty())
        return {};
    folder += "/" + name;
    return ensureFolder(folder) ? folder : std::string();
}

std::string encodeObjectName(const std::string& name)
{
    static const char* hex = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char c : name) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.';
        if (plain && !(c == '.' && encoded.empty())) {
            encoded += char(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 15];
        }
    }
    return encoded.empty() ? std::string("%") : encoded;
}

} // namespace platform
