#include "Json.h"

#include <QString>
#include <cstdio>

namespace tolvanctl {

std::string jsonString(std::string_view utf8)
{
    const std::string valid = QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).toUtf8().toStdString();
    std::string quoted = "\"";
    for (unsigned char c : valid) {
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                quoted += escaped;
            } else {
                quoted += char(c);
            }
        }
    }
    return quoted + "\"";
}

std::string hexBytes(std::string_view bytes)
{
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

void JsonLine::separate()
{
    if (!m_body.empty())
        m_body += ",";
}

JsonLine& JsonLine::add(const std::string& key, std::int64_t value)
{
    separate();
    m_body += jsonString(key) + ":" + std::to_string(value);
    return *this;
}

JsonLine& JsonLine::add(const std::string& key, bool value)
{
    separate();
    m_body += jsonString(key) + ":" + (value ? "true" : "false");
    return *this;
}

JsonLine& JsonLine::add(const std::string& key, std::string_view value)
{
    separate();
    m_body += jsonString(key) + ":" + jsonString(value);
    return *this;
}

void JsonLine::print() const
{
    std::string line = "{" + m_body + "}\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

} // namespace tolvanctl
