#include "Arguments.h"

#include <charconv>

namespace tolvanctl {

std::optional<Arguments> Arguments::parse(const std::vector<std::string>& words,
                                          const std::set<std::string>& valueOptions,
                                          const std::set<std::string>& flagOptions)
{
    Arguments arguments;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() > 2 && word.rfind("--", 0) == 0) {
            std::string name = word.substr(2);
            if (flagOptions.count(name)) {
                arguments.m_options[name] = "";
            } else if (valueOptions.count(name) && i + 1 < words.size()) {
                arguments.m_options[name] = words[++i];
            } else {
                return std::nullopt;
            }
        } else {
            arguments.m_positional.push_back(word);
        }
    }
    return arguments;
}

std::optional<std::int64_t> Arguments::number(const std::string& option) const
{
    auto found = m_options.find(option);
    if (found == m_options.end())
        return std::nullopt;
    const std::string& text = found->second;
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

} // namespace tolvanctl
