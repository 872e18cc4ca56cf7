#include "platform/ProfileEscapes.h"

#include "platform/CodePage.h"

#include <optional>

namespace platform::profile_escapes {
namespace {

bool isAsciiAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string hex(unsigned value, int width, bool upper)
{
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), digits[value % 16]);
        value /= 16;
    } while (value != 0);
    if (int(text.size()) < width)
        text.insert(0, width - text.size(), '0');
    return text;
}

void appendUtf8(std::string& out, char32_t code)
{
    if (code >= 0xD800 && code <= 0xDFFF)
        code = 0xFFFD;
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// The value as Qt reads it, when it has the form Qt's writer produces.
std::optional<std::string> decodeWriterForm(std::string_view value)
{
    const bool quoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    const std::string_view body = quoted ? value.substr(1, value.size() - 2) : value;
    std::string out;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '"' || (!quoted && (c == ';' || c == ',')))
            return std::nullopt;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == body.size())
            return std::nullopt;
        const char escaped = body[i];
        switch (escaped) {
        case 'a': out += '\a'; continue;
        case 'b': out += '\b'; continue;
        case 'f': out += '\f'; continue;
        case 'n': out += '\n'; continue;
        case 'r': out += '\r'; continue;
        case 't': out += '\t'; continue;
        case 'v': out += '\v'; continue;
        case '"': case '?': case '\'': case '\\': out += escaped; continue;
        default: break;
        }
        const bool hexEscape = escaped == 'x';
        const int base = hexEscape ? 16 : 8;
        std::size_t digitPos = hexEscape ? i + 1 : i;
        char32_t code = 0;
        std::size_t digits = 0;
        for (; digitPos < body.size(); ++digitPos, ++digits) {
            const int digit = hexDigitValue(body[digitPos]);
            if (digit < 0 || digit >= base)
                break;
            code = (code * base + digit) & 0xFFFF;  // Qt reads one UTF-16 unit
        }
        if (digits == 0)
            return std::nullopt;
        appendUtf8(out, code);
        i = digitPos - 1;
    }
    // Qt's marks for texts that would otherwise read as another type.
    auto wrappedIn = [&](std::string_view prefix) {
        return out.size() > prefix.size() && out.starts_with(prefix) && out.ends_with(')');
    };
    if (out.starts_with("@@"))
        out.erase(0, 1);
    else if (out == "@Invalid()")
        out.clear();
    else if (wrappedIn("@String("))
        out = out.substr(8, out.size() - 9);
    else if (wrappedIn("@ByteArray("))
        out = out.substr(11, out.size() - 12);
    return out;
}

} // namespace

std::string escapeName(std::string_view name)
{
    std::string out;
    for (const char16_t unit : utf8ToUtf16(name)) {
        if (unit == u'/')
            out += '\\';
        else if (unit < 0x80 && (isAsciiAlnum(char(unit)) || unit == u'_' || unit == u'-' || unit == u'.'))
            out += char(unit);
        else if (unit <= 0xFF)
            out += "%" + hex(unit, 2, true);
        else
            out += "%U" + hex(unit, 4, true);
    }
    return out;
}

std::string unescapeName(std::string_view name)
{
    std::u16string out;
    std::string raw;  // bytes that stand for themselves, read as UTF-8
    auto flushRaw = [&] {
        out += utf8ToUtf16(raw);
        raw.clear();
    };
    std::size_t i = 0;
    while (i < name.size()) {
        const char c = name[i];
        if (c == '\\') {
            raw += '/';
            ++i;
            continue;
        }
        if (c == '%' && i + 1 < name.size()) {
            const bool wide = name[i + 1] == 'U';
            const std::size_t first = wide ? i + 2 : i + 1;
            const std::size_t count = wide ? 4 : 2;
            unsigned value = 0;
            bool ok = first + count <= name.size();
            for (std::size_t k = first; ok && k < first + count; ++k) {
                const int digit = hexDigitValue(name[k]);
                ok = digit >= 0;
                value = value * 16 + digit;
            }
            if (ok) {
                flushRaw();
                out += char16_t(value);
                i = first + count;
                continue;
            }
        }
        raw += c;
        ++i;
    }
    flushRaw();
    return utf16ToUtf8(out);
}

std::string escapeValue(std::string_view value)
{
    std::string text(value);
    if (text.find('\0') != std::string::npos)
        text = "@String(" + text + ")";
    else if (text.starts_with('@'))
        text.insert(0, 1, '@');

    std::string out;
    bool needsQuotes = false;
    bool escapeNextIfHexDigit = false;  // "\x1" followed by "2" would read as "\x12"
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeNextIfHexDigit && hexDigitValue(c) >= 0) {
            out += "\\x" + hex(byte, 0, false);
            continue;
        }
        escapeNextIfHexDigit = false;
        switch (c) {
        case '\0': out += "\\0"; escapeNextIfHexDigit = true; break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"': case '\\': out += '\\'; out += c; break;
        default:
            if (byte < 0x20) {
                out += "\\x" + hex(byte, 0, false);
                escapeNextIfHexDigit = true;
            } else {
                out += c;
            }
        }
    }
    if (needsQuotes || out.starts_with(' ') || out.ends_with(' '))
        out = '"' + out + '"';
    return out;
}

std::string unescapeValue(std::string_view value)
{
    if (auto decoded = decodeWriterForm(value))
        return *decoded;
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return std::string(value.substr(1, value.size() - 2));
    return std::string(value);
}

} // namespace platform::profile_escapes
