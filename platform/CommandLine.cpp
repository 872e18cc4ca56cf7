// splitCommandLine (declared in ProgramStart.h): the Windows C runtime's rules.

#include "platform/ProgramStart.h"

namespace platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The program name: quotes toggle and are dropped, nothing else is special.
std::string takeProgramName(std::string_view line, std::size_t& pos)
{
    std::string name;
    bool quoted = false;
    for (; pos < line.size() && (quoted || !isBlank(line[pos])); ++pos) {
        if (line[pos] == '"')
            quoted = !quoted;
        else
            name += line[pos];
    }
    return name;
}

// A later argument, with the backslash and quote rules.
std::string takeArgument(std::string_view line, std::size_t& pos)
{
    std::string argument;
    bool quoted = false;
    while (pos < line.size() && (quoted || !isBlank(line[pos]))) {
        std::size_t backslashes = 0;
        while (pos < line.size() && line[pos] == '\\') {
            ++backslashes;
            ++pos;
        }
        if (pos < line.size() && line[pos] == '"') {
            argument.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                argument += '"';      // \" is a literal quote
            } else if (quoted && pos + 1 < line.size() && line[pos + 1] == '"') {
                argument += '"';      // "" inside quotes is a literal quote
                ++pos;
            } else {
                quoted = !quoted;
            }
            ++pos;
        } else {
            argument.append(backslashes, '\\');
            if (pos < line.size() && (quoted || !isBlank(line[pos])))
                argument += line[pos++];
        }
    }
    return argument;
}

void skipBlanks(std::string_view line, std::size_t& pos)
{
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
}

} // namespace

std::vector<std::string> splitCommandLine(std::string_view commandLine)
{
    std::vector<std::string> arguments;
    std::size_t pos = 0;
    skipBlanks(commandLine, pos);
    if (pos == commandLine.size())
        return arguments;
    arguments.push_back(takeProgramName(commandLine, pos));
    while (true) {
        skipBlanks(commandLine, pos);
        if (pos == commandLine.size())
            return arguments;
        arguments.push_back(takeArgument(commandLine, pos));
    }
}

} // namespace platform
