#include "platform/Shell.h"

#include "platform/ProgramStart.h"

// findExecutableFor is in XdgApplications.cpp.

namespace platform {

bool shellOpen(const std::string& target)
{
    if (target.empty())
        return false;
    const std::string argument = target.starts_with('-') ? "./" + target : target;
    return startProgram("xdg-open", {argument}).has_value();
}

} // namespace platform
