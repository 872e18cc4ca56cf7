#pragma once
// VARIANT: one Automation value, a type tag and the value. Our VARIANT owns
// what it holds (a BSTR, or a SAFEARRAY for VT_ARRAY types): copying it copies
// them, destroying or clearing it frees them. VT_BYREF values point at data
// owned elsewhere and are copied as pointers.

#include "com/Bstr.h"
#include "com/ComTypes.h"
#include "com/SafeArray.h"

#include <string_view>

namespace com {

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    union {
        std::int64_t llVal = 0;
        LONG lVal;
        std::int16_t iVal;
        std::uint8_t bVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        HRESULT scode;
        BSTR bstrVal;
        SAFEARRAY* parray;  // VT_ARRAY | element type
        SAFEARRAY** pparray;  // VT_BYREF | VT_ARRAY | element type
        VARIANT* pvarVal;     // VT_BYREF | VT_VARIANT
        void* byref;          // other VT_BYREF types
    };

    VARIANT() = default;
    VARIANT(const VARIANT& other);
    VARIANT(VARIANT&& other) noexcept;
    VARIANT& operator=(const VARIANT& other);
    VARIANT& operator=(VARIANT&& other) noexcept;
    ~VARIANT();

    static VARIANT fromI4(LONG value);
    static VARIANT fromR8(double value);
    static VARIANT fromBool(VARIANT_BOOL value);
    // A new BSTR with the text.
    static VARIANT fromString(std::u16string_view text);
    // Takes the array: the VARIANT owns and destroys it.
    static VARIANT fromArray(SAFEARRAY* array);
};

void VariantInit(VARIANT* value);
// Frees what the value owns and leaves it VT_EMPTY.
HRESULT VariantClear(VARIANT* value);
// Clears `dest`, then makes it a deep copy of `source`.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* source);

} // namespace com
