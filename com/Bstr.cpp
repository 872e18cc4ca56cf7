#include "com/Bstr.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace com {
namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t* headerOf(BSTR text)
{
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(text) - kPrefix);
}

} // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    if (length > (std::numeric_limits<std::uint32_t>::max() - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR))
        return nullptr;
    const std::size_t bytes = std::size_t(length) * sizeof(OLECHAR);
    auto* block = static_cast<char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    const auto byteLength = std::uint32_t(bytes);
    std::memcpy(block, &byteLength, kPrefix);
    auto* characters = reinterpret_cast<BSTR>(block + kPrefix);
    if (text)
        std::memcpy(characters, text, bytes);
    else
        std::memset(characters, 0, bytes);
    characters[length] = u'\0';
    return characters;
}

BSTR SysAllocString(const OLECHAR* text)
{
    if (!text)
        return nullptr;
    return SysAllocString(std::u16string_view(text));
}

BSTR SysAllocString(std::u16string_view text)
{
    if (text.size() > std::numeric_limits<UINT>::max())
        return nullptr;
    return SysAllocStringLen(text.data(), UINT(text.size()));
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(headerOf(text));
}

UINT SysStringByteLen(BSTR text)
{
    if (!text)
        return 0;
    std::uint32_t bytes;
    std::memcpy(&bytes, headerOf(text), kPrefix);
    return bytes;
}

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

std::u16string_view BstrView(BSTR text)
{
    return text ? std::u16string_view(text, SysStringLen(text)) : std::u16string_view();
}

} // namespace com
