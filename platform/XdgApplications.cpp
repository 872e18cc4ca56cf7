#include "platform/Shell.h"

#include <QFile>
#include <QMimeDatabase>
#include <QMimeType>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <pwd.h>
#include <set>
#include <unistd.h>

// The XDG registry of applications by MIME type: the mimeapps.list files and
// the desktop files, found through XDG_CONFIG_HOME, XDG_CONFIG_DIRS,
// XDG_DATA_HOME and XDG_DATA_DIRS (with their usual defaults) and
// XDG_CURRENT_DESKTOP.

namespace platform {
namespace {

namespace fs = std::filesystem;

// One MIME type under all its names (the type and its aliases).
using MimeTypeNames = std::vector<std::string>;

// Groups of key=value lines, as mimeapps.list and desktop files have them.
using KeyFile = std::map<std::string, std::map<std::string, std::string>>;

std::string trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

KeyFile readKeyFile(const std::string& path)
{
    KeyFile groups;
    std::ifstream in(path);
    std::string line;
    std::string group;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[' && line.back() == ']') {
            group = line.substr(1, line.size() - 2);
            continue;
        }
        const auto equals = line.find('=');
        if (equals != std::string::npos)
            groups[group].emplace(trim(line.substr(0, equals)), trim(line.substr(equals + 1)));
    }
    return groups;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find(separator, start), text.size());
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "/";
}

// An XDG variable holding one folder or a ':' list; relative entries are ignored.
std::vector<std::string> foldersFrom(const char* variable, const std::string& fallback)
{
    std::vector<std::string> folders;
    if (const char* value = std::getenv(variable))
        for (auto& folder : split(value, ':'))
            if (folder.starts_with('/'))
                folders.push_back(folder);
    return folders.empty() ? split(fallback, ':') : folders;
}

struct Folders {
    std::vector<std::string> config;  // the user's first
    std::vector<std::string> data;
};

Folders xdgFolders()
{
    Folders folders;
    folders.config = {foldersFrom("XDG_CONFIG_HOME", homeFolder() + "/.config").front()};
    for (auto& folder : foldersFrom("XDG_CONFIG_DIRS", "/etc/xdg"))
        folders.config.push_back(folder);
    folders.data = {foldersFrom("XDG_DATA_HOME", homeFolder() + "/.local/share").front()};
    for (auto& folder : foldersFrom("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
        folders.data.push_back(folder);
    return folders;
}

std::vector<KeyFile> mimeAppsLists(const Folders& folders)
{
    std::vector<std::string> desktops;
    if (const char* current = std::getenv("XDG_CURRENT_DESKTOP"))
        for (auto desktop : split(current, ':')) {
            std::transform(desktop.begin(), desktop.end(), desktop.begin(), ::tolower);
            desktops.push_back(desktop);
        }
    std::vector<std::string> places = folders.config;
    for (const auto& folder : folders.data)
        places.push_back(folder + "/applications");
    std::vector<KeyFile> lists;
    for (const auto& place : places) {
        for (const auto& desktop : desktops)
            lists.push_back(readKeyFile(place + "/" + desktop + "-mimeapps.list"));
        lists.push_back(readKeyFile(place + "/mimeapps.list"));
    }
    return lists;
}

// The string escapes of desktop files, then the first word of an Exec line
// (a word may be quoted, with '\' escaping the next character inside).
std::string execProgram(const std::string& exec)
{
    std::string line;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '\\' || i + 1 == exec.size()) {
            line += exec[i];
            continue;
        }
        switch (const char next = exec[++i]) {
        case 's': line += ' '; break;
        case 't': line += '\t'; break;
        case 'n': line += '\n'; break;
        case 'r': line += '\r'; break;
        case '\\': line += '\\'; break;
        default: line += '\\'; line += next;  // an escape of the Exec quoting
        }
    }
    line = trim(line);
    std::string program;
    if (line.starts_with('"')) {
        for (std::size_t i = 1; i < line.size() && line[i] != '"'; ++i)
            program += line[i] == '\\' && i + 1 < line.size() ? line[++i] : line[i];
    } else {
        program = line.substr(0, line.find_first_of(" \t"));
    }
    return program;
}

// The desktop files by id; where several folders have an id, the first counts.
class DesktopFiles {
public:
    explicit DesktopFiles(const Folders& folders)
    {
        for (const auto& folder : folders.data) {
            const fs::path root = fs::path(folder) / "applications";
            std::error_code error;
            std::vector<fs::path> found;
            for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
                 !error && it != end; it.increment(error))
                if (it->path().extension() == ".desktop")
                    found.push_back(it->path());
            std::sort(found.begin(), found.end());
            for (const auto& path : found) {
                std::string id = path.lexically_relative(root).string();
                std::replace(id.begin(), id.end(), '/', '-');
                if (m_paths.emplace(id, path.string()).second)
                    m_ids.push_back(id);
            }
        }
    }

    const std::vector<std::string>& ids() const { return m_ids; }

    // The Desktop Entry group of an application that is not hidden.
    std::optional<std::map<std::string, std::string>> entry(const std::string& id) const
    {
        const auto path = m_paths.find(id);
        if (path == m_paths.end())
            return std::nullopt;
        auto entry = readKeyFile(path->second)["Desktop Entry"];
        const bool application = !entry.count("Type") || entry["Type"] == "Application";
        if (!application || entry["Hidden"] == "true")
            return std::nullopt;
        return entry;
    }

    std::string program(const std::string& id) const
    {
        auto found = entry(id);
        return found ? execProgram((*found)["Exec"]) : std::string();
    }

    bool lists(const std::string& id, const MimeTypeNames& names) const
    {
        auto found = entry(id);
        if (!found)
            return false;
        const auto types = split((*found)["MimeType"], ';');
        return std::any_of(types.begin(), types.end(), [&](const std::string& type) {
            return std::find(names.begin(), names.end(), type) != names.end();
        });
    }

private:
    std::map<std::string, std::string> m_paths;
    std::vector<std::string> m_ids;
};

// The desktop-file ids a group of the mimeapps.list files gives for the type,
// in order of precedence.
std::vector<std::string> listed(const std::vector<KeyFile>& lists, const std::string& group,
                                const MimeTypeNames& names)
{
    std::vector<std::string> ids;
    for (const auto& list : lists) {
        const auto entries = list.find(group);
        if (entries == list.end())
            continue;
        for (const auto& name : names)
            if (const auto value = entries->second.find(name); value != entries->second.end())
                for (auto& id : split(value->second, ';'))
                    ids.push_back(id);
    }
    return ids;
}

// The program of the application registered for the first of `types` that
// has one, in the order Shell.h tells.
std::string registeredProgram(const std::vector<MimeTypeNames>& types)
{
    const Folders folders = xdgFolders();
    const std::vector<KeyFile> lists = mimeAppsLists(folders);
    const DesktopFiles desktopFiles(folders);
    for (const auto& names : types) {
        for (const auto& id : listed(lists, "Default Applications", names))
            if (auto program = desktopFiles.program(id); !program.empty())
                return program;
        const auto removedIds = listed(lists, "Removed Associations", names);
        const std::set<std::string> removed(removedIds.begin(), removedIds.end());
        for (const auto& id : listed(lists, "Added Associations", names))
            if (auto program = desktopFiles.program(id); !program.empty() && !removed.count(id))
                return program;
        for (const auto& id : desktopFiles.ids())
            if (!removed.count(id) && desktopFiles.lists(id, names))
                if (auto program = desktopFiles.program(id); !program.empty())
                    return program;
    }
    return {};
}

MimeTypeNames namesOf(const QMimeType& type)
{
    MimeTypeNames names{type.name().toStdString()};
    for (const QString& alias : type.aliases())
        names.push_back(alias.toStdString());
    return names;
}

} // namespace

std::string findExecutableFor(const std::string& file)
{
    const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(QFile::decodeName(file.c_str()));
    if (!type.isValid() || type.isDefault())  // unknown: nothing is registered for it
        return {};
    std::vector<MimeTypeNames> types{namesOf(type)};
    for (const QString& ancestor : type.allAncestors())
        types.push_back(namesOf(database.mimeTypeForName(ancestor)));
    return registeredProgram(types);
}

} // namespace platform
