#pragma once
// The engine's string: UTF-16 code units. Narrow text given to it or taken
// from it is UTF-8 (ToString, FromString and the char constructors); code
// that needs the system ANSI code page converts through platform/CodePage.h.
// Comparison is by UTF-16 code units.

#include <compare>
#include <string>
#include <string_view>

class CefString {
public:
    CefString() = default;
    CefString(const char16_t* text) : m_text(text ? text : u"") {}
    CefString(std::u16string text) : m_text(std::move(text)) {}
    CefString(std::u16string_view text) : m_text(text) {}
    // UTF-8; invalid sequences become U+FFFD.
    CefString(const char* utf8) { FromString(utf8 ? std::string_view(utf8) : std::string_view()); }
    CefString(const std::string& utf8) { FromString(utf8); }
    CefString(std::string_view utf8) { FromString(utf8); }
    // UTF-32 on this platform.
    CefString(const wchar_t* text) { FromWString(text ? std::wstring_view(text) : std::wstring_view()); }
    CefString(const std::wstring& text) { FromWString(text); }

    const char16_t* c_str() const { return m_text.c_str(); }
    std::size_t length() const { return m_text.length(); }
    std::size_t size() const { return m_text.size(); }
    bool empty() const { return m_text.empty(); }
    void clear() { m_text.clear(); }

    std::string ToString() const;          // UTF-8
    std::wstring ToWString() const;        // UTF-32
    const std::u16string& ToString16() const { return m_text; }

    void FromString(std::string_view utf8);
    void FromWString(std::wstring_view text);
    void FromString16(std::u16string_view text) { m_text = text; }

    int compare(const CefString& other) const { return m_text.compare(other.m_text); }

    friend bool operator==(const CefString& a, const CefString& b) { return a.m_text == b.m_text; }
    friend std::strong_ordering operator<=>(const CefString& a, const CefString& b)
    {
        return a.m_text <=> b.m_text;
    }

private:
    std::u16string m_text;
};
