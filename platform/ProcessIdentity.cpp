#include "platform/ProcessIdentity.h"

#include <fstream>
#include <sstream>
#include <unistd.h>

namespace platform::detail {

std::string ProcessKey::toString() const
{
    return std::to_string(pid) + "-" + std::to_string(start);
}

std::optional<std::uint64_t> processStartTime(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string content;
    if (!std::getline(stat, content))
        return std::nullopt;
    // The command name (field 2) may hold blanks and parentheses; the fields
    // after it begin behind its last ')'. The start time is field 22.
    auto close = content.rfind(')');
    if (close == std::string::npos)
        return std::nullopt;
    std::istringstream fields(content.substr(close + 1));
    std::string field;
    for (int index = 3; index <= 22; ++index) {
        if (!(fields >> field))
            return std::nullopt;
    }
    try {
        return std::stoull(field);
    } catch (...) {
        return std::nullopt;
    }
}

ProcessKey currentProcessKey()
{
    // Computed per call: cheap, and right in a forked child as well.
    pid_t pid = getpid();
    return ProcessKey{pid, processStartTime(pid).value_or(0)};
}

} // namespace platform::detail
