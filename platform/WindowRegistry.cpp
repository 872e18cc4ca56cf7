#include "platform/WindowRegistry.h"

#include "platform/RuntimeFolder.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace platform::detail {
namespace {

std::string windowsFolder() { return runtimeSubfolder("windows"); }

std::string lockPath(const ProcessKey& owner)
{
    std::string folder = runtimeSubfolder("procs");
    return folder.empty() ? std::string() : folder + "/" + owner.toString() + ".lock";
}

ProcessKey ownerOf(const WindowHandle& handle) { return ProcessKey{handle.pid, handle.processStart}; }

std::string escapeTitle(const std::string& title)
{
    std::string escaped;
    for (char c : title) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else if (c == '\r')
            escaped += "\\r";
        else
            escaped += c;
    }
    return escaped;
}

std::string unescapeTitle(const std::string& text)
{
    std::string title;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            char next = text[++i];
            title += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
        } else {
            title += text[i];
        }
    }
    return title;
}

std::optional<WindowRecord> parseRecord(const WindowHandle& handle, const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != "tolvan-window 1")
        return std::nullopt;
    WindowRecord record;
    record.handle = handle;
    while (std::getline(in, line)) {
        auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        if (key == "registered")
            record.registeredAt = std::strtoull(value.c_str(), nullptr, 10);
        else if (key == "visible")
            record.visible = value == "1";
        else if (key == "minimized")
            record.minimized = value == "1";
        else if (key == "title")
            record.title = unescapeTitle(value);
    }
    return record;
}

// The process's lock file stays open (and locked) for the process's life.
std::mutex g_ownLockMutex;
std::map<std::string, int> g_ownLocks;

void removeOwnerFiles(const ProcessKey& owner)
{
    std::string folder = windowsFolder();
    if (DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str())) {
        const std::string prefix = owner.toString() + "-";
        while (dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name.rfind(prefix, 0) == 0)
                ::unlink((folder + "/" + name).c_str());
        }
        ::closedir(dir);
    }
    std::string lock = lockPath(owner);
    if (!lock.empty()) {
        ::unlink(lock.c_str());
        std::string socket = lock.substr(0, lock.size() - 5) + ".sock";
        ::unlink(socket.c_str());
    }
}

} // namespace

bool holdOwnerLock(const ProcessKey& self)
{
    std::string path = lockPath(self);
    if (path.empty())
        return false;
    std::lock_guard guard(g_ownLockMutex);
    if (g_ownLocks.count(path))
        return true;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX) != 0) {
        ::close(fd);
        return false;
    }
    g_ownLocks[path] = fd;
    return true;
}

void releaseOwnerLock(const ProcessKey& self)
{
    std::string path = lockPath(self);
    std::lock_guard guard(g_ownLockMutex);
    auto found = g_ownLocks.find(path);
    if (found == g_ownLocks.end())
        return;
    ::unlink(path.c_str());
    ::close(found->second);
    g_ownLocks.erase(found);
}

bool isOwnerAlive(const ProcessKey& owner)
{
    if (owner == currentProcessKey())
        return true;
    std::string path = lockPath(owner);
    if (path.empty())
        return false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Locking succeeds only when the owner no longer holds its lock.
    bool alive = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd);
    return alive;
}

bool writeRecord(const WindowRecord& record)
{
    std::string folder = windowsFolder();
    if (folder.empty())
        return false;
    const std::string path = folder + "/" + record.handle.toString();
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << "tolvan-window 1\n"
            << "registered=" << record.registeredAt << "\n"
            << "visible=" << (record.visible ? 1 : 0) << "\n"
            << "minimized=" << (record.minimized ? 1 : 0) << "\n"
            << "title=" << escapeTitle(record.title) << "\n";
        if (!out.flush())
            return false;
    }
    return ::rename(temporary.c_str(), path.c_str()) == 0;
}

void removeRecord(const WindowHandle& handle)
{
    std::string folder = windowsFolder();
    if (!folder.empty())
        ::unlink((folder + "/" + handle.toString()).c_str());
}

std::optional<WindowRecord> readRecord(const WindowHandle& handle)
{
    std::string folder = windowsFolder();
    if (folder.empty() || !handle)
        return std::nullopt;
    if (!isOwnerAlive(ownerOf(handle))) {
        removeOwnerFiles(ownerOf(handle));
        return std::nullopt;
    }
    return parseRecord(handle, folder + "/" + handle.toString());
}

std::vector<WindowRecord> liveRecords()
{
    std::vector<WindowRecord> records;
    std::string folder = windowsFolder();
    DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str());
    if (!dir)
        return records;
    std::map<std::string, bool> aliveByOwner;
    std::vector<ProcessKey> deadOwners;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        WindowHandle handle = WindowHandle::fromString(name);
        if (!handle)
            continue;  // ".", "..", records being replaced
        ProcessKey owner = ownerOf(handle);
        auto known = aliveByOwner.find(owner.toString());
        if (known == aliveByOwner.end()) {
            known = aliveByOwner.emplace(owner.toString(), isOwnerAlive(owner)).first;
            if (!known->second)
                deadOwners.push_back(owner);
        }
        if (!known->second)
            continue;
        if (auto record = parseRecord(handle, folder + "/" + name))
            records.push_back(std::move(*record));
    }
    ::closedir(dir);
    for (const ProcessKey& owner : deadOwners)
        removeOwnerFiles(owner);
    std::sort(records.begin(), records.end(), [](const WindowRecord& a, const WindowRecord& b) {
        return a.registeredAt < b.registeredAt;
    });
    return records;
}

void writeForeground(const WindowHandle& handle)
{
    std::string folder = runtimeFolder();
    if (folder.empty())
        return;
    const std::string path = folder + "/foreground";
    {
        std::ofstream out(path + ".new", std::ios::trunc);
        out << handle.toString() << "\n";
    }
    ::rename((path + ".new").c_str(), path.c_str());
}

WindowHandle readForeground()
{
    std::string folder = runtimeFolder();
    if (folder.empty())
        return {};
    std::ifstream in(folder + "/foreground");
    std::string text;
    std::getline(in, text);
    WindowHandle handle = WindowHandle::fromString(text);
    return readRecord(handle) ? handle : WindowHandle{};
}

} // namespace platform::detail
