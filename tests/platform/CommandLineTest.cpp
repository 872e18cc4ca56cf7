// Splitting command lines by the Windows C runtime's rules.

#include "platform/ProgramStart.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* commandLine;
    std::vector<std::string> arguments;
};

const SplitCase kCases[] = {
    {"", {}},
    {" \t  ", {}},
    {"  prog  a\tb  ", {"prog", "a", "b"}},
    // The program name: quotes toggle and vanish, backslashes are plain.
    {R"("/opt/my tools/prog" x)", {"/opt/my tools/prog", "x"}},
    {R"(pro"g na"me a)", {"prog name", "a"}},
    {R"(C:\dir\prog\" a)", {R"(C:\dir\prog\ a)"}},
    // Later arguments: quotes group and vanish.
    {R"(p "a b c" d e)", {"p", "a b c", "d", "e"}},
    {R"(p a"b c"d)", {"p", "ab cd"}},
    {R"(p "" x "")", {"p", "", "x", ""}},
    {R"(p "open end)", {"p", "open end"}},
    // Backslashes count only before a quote.
    {R"(p a\\\b d"e f"g h)", {"p", R"(a\\\b)", "de fg", "h"}},
    {R"(p a\"b)", {"p", R"(a"b)"}},
    {R"(p a\\\"b c d)", {"p", R"(a\"b)", "c", "d"}},
    {R"(p a\\\\"b c" d e)", {"p", R"(a\\b c)", "d", "e"}},
    {R"(p "ab\"c" "\\" d)", {"p", R"(ab"c)", R"(\)", "d"}},
    {R"(p trailing\)", {"p", R"(trailing\)"}},
    // "" inside quotes is a literal quote and quoting goes on.
    {R"(p a"b"" c d)", {"p", R"(ab" c d)"}},
    {R"(p """")", {"p", R"(")"}},
    // What a shell would act on is plain text here.
    {R"(p ; | $(id) `id` 'a b' > x &&)", {"p", ";", "|", "$(id)", "`id`", "'a", "b'", ">", "x", "&&"}},
};

TEST(CommandLine, SplitsByTheWindowsRuntimeRules)
{
    for (const SplitCase& c : kCases)
        EXPECT_EQ(platform::splitCommandLine(c.commandLine), c.arguments) << "command line: " << c.commandLine;
}

} // namespace
