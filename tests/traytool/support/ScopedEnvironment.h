#pragma once
// Sets environment variables for the object's life; programs started
// meanwhile inherit them.

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace traytooltest {

class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }

    void set(const std::string& name, const std::string& value)
    {
        const char* previous = std::getenv(name.c_str());
        m_saved.emplace_back(name, previous ? std::optional<std::string>(previous) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace traytooltest
