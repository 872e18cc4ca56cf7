#pragma once
// Command-line words after the command: positional values and "--name value"
// or "--flag" options.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tolvanctl {

class Arguments {
public:
    // `valueOptions` take a value, `flagOptions` none. Fails on anything else.
    static std::optional<Arguments> parse(const std::vector<std::string>& words,
                                          const std::set<std::string>& valueOptions,
                                          const std::set<std::string>& flagOptions);

    const std::vector<std::string>& positional() const { return m_positional; }
    bool has(const std::string& option) const { return m_options.count(option) != 0; }
    // The option's value as a whole number; nothing when absent or not a number.
    std::optional<std::int64_t> number(const std::string& option) const;
    bool numberIsValid(const std::string& option) const { return !has(option) || number(option).has_value(); }

private:
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_options;
};

} // namespace tolvanctl
