#include "platform/Profile.h"

#include "platform/CodePage.h"
#include "platform/ProfileEscapes.h"

#include <QFile>
#include <QLockFile>

#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

namespace escapes = profile_escapes;

const std::string_view kBlanks = " \t\r";
const std::string_view kUtf8Bom = "\xEF\xBB\xBF";
const auto kLockTimeout = std::chrono::seconds(10);

std::string_view trim(std::string_view text)
{
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool sameName(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// The files hold UTF-8 (as Qt writes them); callers speak the ANSI code page.
class FileText {
public:
    FileText() : m_ansiIsUtf8(ansiCodePageName() == "UTF-8") {}
    std::string fromAnsi(const std::string& ansi) const { return m_ansiIsUtf8 ? ansi : ansiToUtf8(ansi); }
    std::string toAnsi(const std::string& utf8) const
    {
        return m_ansiIsUtf8 || !isValidUtf8(utf8) ? utf8 : utf8ToAnsi(utf8);
    }

private:
    bool m_ansiIsUtf8;
};

struct Line {
    std::string text;
    std::string ending;  // "\n", "\r\n", or empty for a last line without one
};

struct ParsedLine {
    enum Kind { Other, Section, Key } kind = Other;
    std::string name;      // section or key name, unescaped (UTF-8)
    std::string rawKey;    // the key as spelled in the file
    std::string rawValue;  // the text after '=', trimmed
};

ParsedLine parseLine(std::string_view text)
{
    text = trim(text);
    if (text.starts_with('[')) {
        const auto close = text.find(']');
        const auto inner = text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        return {ParsedLine::Section, escapes::unescapeName(trim(inner)), {}, {}};
    }
    const auto equals = text.find('=');
    if (text.starts_with(';') || equals == std::string_view::npos)
        return {};
    const auto rawKey = trim(text.substr(0, equals));
    return {ParsedLine::Key, escapes::unescapeName(rawKey), std::string(rawKey),
            std::string(trim(text.substr(equals + 1)))};
}

// The lines of a profile file, edited in place.
class ProfileDocument {
public:
    explicit ProfileDocument(std::string_view content)
    {
        if (content.starts_with(kUtf8Bom)) {
            m_bom = kUtf8Bom;
            content.remove_prefix(kUtf8Bom.size());
        }
        while (!content.empty()) {
            const auto newline = content.find('\n');
            if (newline == std::string_view::npos) {
                m_lines.push_back({std::string(content), {}});
                break;
            }
            auto text = content.substr(0, newline);
            const bool crlf = text.ends_with('\r');
            if (crlf)
                text.remove_suffix(1);
            m_lines.push_back({std::string(text), crlf ? "\r\n" : "\n"});
            content.remove_prefix(newline + 1);
        }
        if (!m_lines.empty() && !m_lines.front().ending.empty())
            m_newline = m_lines.front().ending;
    }

    std::optional<std::string> rawValue(const std::string& section, const std::string& key) const
    {
        const auto range = findSection(section);
        if (!range)
            return std::nullopt;
        for (std::size_t i = range->first; i < range->second; ++i) {
            const auto parsed = parseLine(m_lines[i].text);
            if (parsed.kind == ParsedLine::Key && sameName(parsed.name, key))
                return parsed.rawValue;
        }
        return std::nullopt;
    }

    void setRawValue(const std::string& section, const std::string& key, const std::string& rawValue)
    {
        const auto range = findSection(section);
        if (!range) {
            if (!m_lines.empty() && !trim(m_lines.back().text).empty())
                append({{}, m_newline});
            append({"[" + escapes::escapeName(section) + "]", m_newline});
            append({escapes::escapeName(key) + "=" + rawValue, m_newline});
            return;
        }
        std::optional<std::size_t> found;
        std::vector<std::size_t> duplicates;
        std::size_t lastFilled = range->first - 1;  // the section header
        for (std::size_t i = range->first; i < range->second; ++i) {
            const auto parsed = parseLine(m_lines[i].text);
            if (parsed.kind == ParsedLine::Key && sameName(parsed.name, key)) {
                if (found) {
                    duplicates.push_back(i);
                } else {
                    found = i;
                    m_lines[i].text = parsed.rawKey + "=" + rawValue;  // the key keeps its spelling
                }
            }
            if (!trim(m_lines[i].text).empty())
                lastFilled = i;
        }
        if (found) {
            // Qt reads the last of several equal keys, Windows the first:
            // after the write there is only one.
            for (auto i = duplicates.rbegin(); i != duplicates.rend(); ++i)
                m_lines.erase(m_lines.begin() + *i);
            return;
        }
        if (m_lines[lastFilled].ending.empty())
            m_lines[lastFilled].ending = m_newline;
        m_lines.insert(m_lines.begin() + lastFilled + 1, {escapes::escapeName(key) + "=" + rawValue, m_newline});
    }

    std::string text() const
    {
        std::string out = m_bom;
        for (const auto& line : m_lines)
            out += line.text + line.ending;
        return out;
    }

private:
    // The lines of the first section of this name: [first, second).
    std::optional<std::pair<std::size_t, std::size_t>> findSection(const std::string& name) const
    {
        std::optional<std::size_t> begin;
        for (std::size_t i = 0; i < m_lines.size(); ++i) {
            const auto parsed = parseLine(m_lines[i].text);
            if (parsed.kind != ParsedLine::Section)
                continue;
            if (begin)
                return std::pair{*begin, i};
            if (sameName(parsed.name, name))
                begin = i + 1;
        }
        if (begin)
            return std::pair{*begin, m_lines.size()};
        return std::nullopt;
    }

    void append(Line line)
    {
        if (!m_lines.empty() && m_lines.back().ending.empty())
            m_lines.back().ending = m_newline;
        m_lines.push_back(std::move(line));
    }

    std::string m_bom;
    std::vector<Line> m_lines;
    std::string m_newline = "\n";
};

std::optional<std::string> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool writeAll(int fd, const std::string& content)
{
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(fd, content.data() + done, content.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// Writes a temporary file beside the target and renames it over the target,
// so readers see either the old or the new contents, never a part.
bool replaceFile(const std::string& path, const std::string& content)
{
    std::string target = path;  // through symbolic links, so the link stays
    if (char* real = realpath(path.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    struct stat old {};
    const bool existed = stat(target.c_str(), &old) == 0;

    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = true;
    if (existed) {
        ok = fchmod(fd, old.st_mode & 07777) == 0;
        if (fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Only the superuser may give a file away; the mode is what counts.
        }
    }
    ok = ok && writeAll(fd, content) && fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

// Takes the lock file Qt's settings writer uses. QLockFile's own waiting
// doubles its pause up to seconds, so against a busy writer it may never get
// a turn; a short steady pause gets the lock soon after the writer lets go.
bool lockLikeQt(QLockFile& lock)
{
    const auto deadline = std::chrono::steady_clock::now() + kLockTimeout;
    while (!lock.tryLock(0)) {  // also takes over a lock whose holder died
        if (lock.error() != QLockFile::LockFailedError || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace

std::string readProfileString(const std::string& file, const std::string& section,
                              const std::string& key, const std::string& defaultValue,
                              std::size_t bufferSize)
{
    const std::size_t limit = bufferSize > 0 ? bufferSize - 1 : 0;
    const FileText fileText;
    if (const auto content = readFile(file)) {
        const ProfileDocument document(*content);
        if (const auto raw = document.rawValue(fileText.fromAnsi(section), fileText.fromAnsi(key)))
            return truncateAnsi(fileText.toAnsi(escapes::unescapeValue(*raw)), limit);
    }
    return truncateAnsi(defaultValue, limit);
}

bool writeProfileString(const std::string& file, const std::string& section,
                        const std::string& key, const std::string& value)
{
    if (trim(section).empty() || trim(key).empty())
        return false;
    QLockFile lock(QFile::decodeName(file.c_str()) + QStringLiteral(".lock"));
    if (!lockLikeQt(lock))
        return false;
    std::string content;
    if (access(file.c_str(), F_OK) == 0) {
        const auto existing = readFile(file);
        if (!existing)
            return false;
        content = *existing;
    }
    const FileText fileText;
    ProfileDocument document(content);
    document.setRawValue(fileText.fromAnsi(section), fileText.fromAnsi(key),
                         escapes::escapeValue(fileText.fromAnsi(value)));
    return replaceFile(file, document.text());
}

} // namespace platform
