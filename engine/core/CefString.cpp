#include "engine/cef/CefString.h"

#include <QString>

std::string CefString::ToString() const
{
    return QString::fromStdU16String(m_text).toStdString();
}

std::wstring CefString::ToWString() const
{
    return QString::fromStdU16String(m_text).toStdWString();
}

void CefString::FromString(std::string_view utf8)
{
    m_text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).toStdU16String();
}

void CefString::FromWString(std::wstring_view text)
{
    m_text = QString::fromWCharArray(text.data(), qsizetype(text.size())).toStdU16String();
}
