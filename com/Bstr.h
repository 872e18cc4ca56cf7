#pragma once
// BSTR: a counted UTF-16 string, as Automation lays it out. The pointer points
// at the first character; the 32-bit byte length sits right before it and a
// NUL follows the last character, so a BSTR can hold NULs and still be read as
// a plain string. A null BSTR is the empty string.

#include "com/ComTypes.h"

#include <string>
#include <string_view>

namespace com {

using OLECHAR = char16_t;
using BSTR = OLECHAR*;

// A new BSTR with a copy of the text (up to its first NUL); null for a null
// text or when memory runs out.
BSTR SysAllocString(const OLECHAR* text);
// A new BSTR of `length` characters copied from `text` (or left zero when
// `text` is null).
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
// Length in characters; 0 for a null BSTR.
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

// Conveniences for our own code.
BSTR SysAllocString(std::u16string_view text);
std::u16string_view BstrView(BSTR text);

} // namespace com
