#pragma once
// Basic Automation types and result codes, with their Automation values.

#include <cstdint>

namespace com {

using LONG = std::int32_t;
using ULONG = std::uint32_t;
using USHORT = std::uint16_t;
using UINT = std::uint32_t;
using HRESULT = std::int32_t;
using VARTYPE = std::uint16_t;
// Automation's boolean: VARIANT_TRUE is -1, VARIANT_FALSE 0. Values that the
// script bridge makes hold 1 for true (see the script bridge), so readers
// treat any non-zero value as true.
using VARIANT_BOOL = std::int16_t;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
inline constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
inline constexpr HRESULT E_POINTER = HRESULT(0x80004003u);
inline constexpr HRESULT DISP_E_BADVARTYPE = HRESULT(0x80020008u);
inline constexpr HRESULT DISP_E_BADINDEX = HRESULT(0x8002000Bu);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = HRESULT(0x80020006u);
inline constexpr HRESULT DISP_E_ARRAYISLOCKED = HRESULT(0x8002000Du);

inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

// Value types. VT_ARRAY and VT_BYREF are flags combined with an element type.
enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

} // namespace com
