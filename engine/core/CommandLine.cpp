// The engine's command line object.
#include "engine/cef/CefCommandLine.h"

#include <string>
#include <utility>
#include <vector>

namespace {

// Splits a command line into words: blanks separate, double quotes group
// (the quotes themselves are dropped).
std::vector<std::u16string> splitWords(const std::u16string& text)
{
    std::vector<std::u16string> words;
    std::u16string word;
    bool inWord = false;
    bool quoted = false;
    for (char16_t c : text) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r')) {
            if (inWord)
                words.push_back(std::exchange(word, {}));
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

class CommandLine : public CefCommandLine {
public:
    void InitFromArgv(int argc, const char* const* argv) override
    {
        std::vector<std::u16string> words;
        for (int i = 0; i < argc; ++i)
            words.push_back(CefString(argv[i] ? argv[i] : "").ToString16());
        init(words);
    }

    void InitFromString(const CefString& commandLine) override
    {
        init(splitWords(commandLine.ToString16()));
    }

    void Reset() override
    {
        m_program.clear();
        m_switches.clear();
        m_arguments.clear();
    }

    CefString GetProgram() override { return m_program; }
    void SetProgram(const CefString& program) override { m_program = program.ToString16(); }

    bool HasSwitches() override { return !m_switches.empty(); }
    bool HasSwitch(const CefString& name) override { return find(name.ToString16()) != nullptr; }

    CefString GetSwitchValue(const CefString& name) override
    {
        const Switch* found = find(name.ToString16());
        return found ? CefString(found->value) : CefString();
    }

    void AppendSwitch(const CefString& name) override { setSwitch(name.ToString16(), {}); }

    void AppendSwitchWithValue(const CefString& name, const CefString& value) override
    {
        setSwitch(name.ToString16(), value.ToString16());
    }

    bool HasArguments() override { return !m_arguments.empty(); }

    void GetArguments(std::vector<CefString>& arguments) override
    {
        arguments.clear();
        for (const auto& argument : m_arguments)
            arguments.emplace_back(argument);
    }

    void AppendArgument(const CefString& argument) override
    {
        m_arguments.push_back(argument.ToString16());
    }

    CefString GetCommandLineString() override
    {
        std::u16string line = m_program;
        for (const auto& entry : m_switches) {
            line += u" --" + entry.name;
            if (!entry.value.empty())
                line += u"=" + entry.value;
        }
        for (const auto& argument : m_arguments)
            line += u" " + argument;
        return line;
    }

private:
    struct Switch {
        std::u16string name;
        std::u16string value;
    };

    void init(const std::vector<std::u16string>& words)
    {
        Reset();
        if (words.empty())
            return;
        m_program = words.front();
        bool switchesEnded = false;
        for (std::size_t i = 1; i < words.size(); ++i) {
            const std::u16string& word = words[i];
            if (switchesEnded || word.size() < 2 || word[0] != u'-') {
                m_arguments.push_back(word);
                continue;
            }
            if (word == u"--") {
                switchesEnded = true;
                continue;
            }
            const std::u16string body = word.substr(word[1] == u'-' ? 2 : 1);
            const auto equals = body.find(u'=');
            if (equals == std::u16string::npos)
                setSwitch(body, {});
            else
                setSwitch(body.substr(0, equals), body.substr(equals + 1));
        }
    }

    const Switch* find(const std::u16string& name) const
    {
        for (const auto& entry : m_switches)
            if (entry.name == name)
                return &entry;
        return nullptr;
    }

    void setSwitch(const std::u16string& name, const std::u16string& value)
    {
        for (auto& entry : m_switches) {
            if (entry.name == name) {
                entry.value = value;
                return;
            }
        }
        m_switches.push_back({name, value});
    }

    std::u16string m_program;
    std::vector<Switch> m_switches;  // in the order first given
    std::vector<std::u16string> m_arguments;

    IMPLEMENT_REFCOUNTING(CommandLine);
};

} // namespace

CefRefPtr<CefCommandLine> CefCommandLine::CreateCommandLine()
{
    return new CommandLine();
}
