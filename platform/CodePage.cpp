#include "platform/CodePage.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <mutex>
#include <strings.h>

namespace platform {
namespace {

const char* const kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
const char* const kGbk = "GBK";
const std::string_view kUtf8Replacement = "\xEF\xBF\xBD";  // U+FFFD

bool isUtf8Name(const std::string& name)
{
    return strcasecmp(name.c_str(), "UTF-8") == 0 || strcasecmp(name.c_str(), "UTF8") == 0;
}

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

// How many input bytes an unconvertible character takes: one byte of a
// narrow code page, or one UTF-16 unit (two for a whole surrogate pair).
using SkipRule = std::size_t (*)(std::string_view rest);

std::size_t skipByte(std::string_view) { return 1; }

std::size_t skipUtf16Character(std::string_view rest)
{
    if (rest.size() < 4)
        return 2;
    char16_t first, second;
    std::memcpy(&first, rest.data(), 2);
    std::memcpy(&second, rest.data() + 2, 2);
    const bool pair = first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF;
    return pair ? 4 : 2;
}

// Converts all of `input`; each character that cannot be converted becomes
// `replacement` (bytes in the target code page).
std::string convert(std::string_view input, const char* from, const char* to,
                    std::string_view replacement, SkipRule skip)
{
    Converter converter(to, from);
    if (!converter.valid())
        return {};
    std::string out(input.size() * 2 + 16, '\0');
    std::size_t used = 0;
    auto makeRoom = [&](std::size_t bytes) {
        if (out.size() - used < bytes)
            out.resize(out.size() * 2 + bytes);
    };
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t result = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        used = outPtr - out.data();
        if (result != static_cast<std::size_t>(-1))
            continue;
        if (error == E2BIG) {
            makeRoom(out.size());
            continue;
        }
        makeRoom(replacement.size());
        replacement.copy(out.data() + used, replacement.size());
        used += replacement.size();
        if (error == EILSEQ) {
            const std::size_t step = std::min(skip({in, inLeft}), inLeft);
            in += step;
            inLeft -= step;
        } else {  // EINVAL: the input ends inside a character
            inLeft = 0;
        }
    }
    makeRoom(16);
    char* outPtr = out.data() + used;
    std::size_t outLeft = out.size() - used;
    iconv(converter.get(), nullptr, nullptr, &outPtr, &outLeft);  // final shift state
    out.resize(outPtr - out.data());
    return out;
}

std::string narrowFromUtf16(std::u16string_view text, const std::string& codePage)
{
    const std::string_view replacement = isUtf8Name(codePage) ? kUtf8Replacement : "?";
    return convert({reinterpret_cast<const char*>(text.data()), text.size() * 2}, kUtf16,
                   codePage.c_str(), replacement, skipUtf16Character);
}

std::u16string utf16FromNarrow(std::string_view text, const std::string& codePage)
{
    const char16_t replacementUnit = 0xFFFD;
    const std::string bytes = convert(text, codePage.c_str(), kUtf16,
                                      {reinterpret_cast<const char*>(&replacementUnit), 2}, skipByte);
    std::u16string out(bytes.size() / 2, u'\0');
    std::memcpy(out.data(), bytes.data(), out.size() * 2);
    return out;
}

std::string lookUpAnsiCodePage()
{
    locale_t environmentLocale = newlocale(LC_CTYPE_MASK, "", locale_t(nullptr));
    if (!environmentLocale)
        return "UTF-8";
    std::string name = nl_langinfo_l(CODESET, environmentLocale);
    freelocale(environmentLocale);
    if (name.empty() || name == "ANSI_X3.4-1968" || strcasecmp(name.c_str(), "ASCII") == 0
        || strcasecmp(name.c_str(), "US-ASCII") == 0)
        return "UTF-8";
    return name;
}

} // namespace

std::string ansiCodePageName()
{
    // Looking a locale up costs tens of microseconds; the answer only changes
    // with the variables that choose the locale.
    std::string environment;
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG", "LOCPATH"}) {
        const char* value = std::getenv(variable);
        environment += value ? value : "\x01";
        environment += '\0';
    }
    static std::mutex mutex;
    static std::string cachedEnvironment;
    static std::string cachedName;
    std::lock_guard lock(mutex);
    if (cachedName.empty() || environment != cachedEnvironment) {
        cachedName = lookUpAnsiCodePage();
        cachedEnvironment = environment;
    }
    return cachedName;
}

std::u16string ansiToUtf16(std::string_view ansi) { return utf16FromNarrow(ansi, ansiCodePageName()); }
std::string utf16ToAnsi(std::u16string_view text) { return narrowFromUtf16(text, ansiCodePageName()); }

std::u16string utf8ToUtf16(std::string_view utf8) { return utf16FromNarrow(utf8, "UTF-8"); }
std::string utf16ToUtf8(std::u16string_view text) { return narrowFromUtf16(text, "UTF-8"); }

std::u16string gbkToUtf16(std::string_view gbk) { return utf16FromNarrow(gbk, kGbk); }
std::string utf16ToGbk(std::u16string_view text) { return narrowFromUtf16(text, kGbk); }

std::string ansiToUtf8(std::string_view ansi) { return utf16ToUtf8(ansiToUtf16(ansi)); }
std::string utf8ToAnsi(std::string_view utf8) { return utf16ToAnsi(utf8ToUtf16(utf8)); }

bool isValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = text[i];
        std::size_t length;
        char32_t code;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code = lead & 0x07;
        } else {
            return false;
        }
        if (text.size() - i < length)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char next = text[i + k];
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::string truncateAnsi(std::string_view ansi, std::size_t maxBytes)
{
    if (ansi.size() <= maxBytes)
        return std::string(ansi);
    // Decode the first maxBytes bytes; iconv stops with EINVAL where a
    // character is cut off by the limit.
    const std::string_view head = ansi.substr(0, maxBytes);
    Converter converter(kUtf16, ansiCodePageName().c_str());
    if (!converter.valid())
        return std::string(head);
    char* in = const_cast<char*>(head.data());
    std::size_t inLeft = head.size();
    char scratch[512];
    while (inLeft > 0) {
        char* outPtr = scratch;
        std::size_t outLeft = sizeof scratch;
        if (iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1))
            continue;
        if (errno == EINVAL)
            return std::string(head.substr(0, head.size() - inLeft));
        if (errno == EILSEQ) {  // an invalid byte is kept as it is
            ++in;
            --inLeft;
        } else if (errno != E2BIG) {
            break;
        }
    }
    return std::string(head);
}

} // namespace platform
