#pragma once
// The little JSON tolvanctl prints: one object per line.

#include <cstdint>
#include <string>
#include <string_view>

namespace tolvanctl {

// A JSON string literal; invalid UTF-8 becomes U+FFFD.
std::string jsonString(std::string_view utf8);

std::string hexBytes(std::string_view bytes);

// Builds {"key":value,...} in order of the calls.
class JsonLine {
public:
    JsonLine& add(const std::string& key, std::int64_t value);
    JsonLine& add(const std::string& key, bool value);
    JsonLine& add(const std::string& key, const char* value) { return add(key, std::string_view(value)); }
    JsonLine& add(const std::string& key, std::string_view value);
    // Writes the line to standard output and flushes it.
    void print() const;

private:
    void separate();
    std::string m_body;
};

} // namespace tolvanctl
