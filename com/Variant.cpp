#include "com/Variant.h"

#include <utility>

namespace com {

VARIANT::VARIANT(const VARIANT& other) { VariantCopy(this, &other); }

VARIANT::VARIANT(VARIANT&& other) noexcept : vt(other.vt), llVal(other.llVal)
{
    other.vt = VT_EMPTY;
    other.llVal = 0;
}

VARIANT& VARIANT::operator=(const VARIANT& other)
{
    if (this != &other)
        VariantCopy(this, &other);
    return *this;
}

VARIANT& VARIANT::operator=(VARIANT&& other) noexcept
{
    if (this != &other) {
        VariantClear(this);
        vt = std::exchange(other.vt, VARTYPE(VT_EMPTY));
        llVal = std::exchange(other.llVal, 0);
    }
    return *this;
}

VARIANT::~VARIANT() { VariantClear(this); }

VARIANT VARIANT::fromI4(LONG value)
{
    VARIANT result;
    result.vt = VT_I4;
    result.lVal = value;
    return result;
}

VARIANT VARIANT::fromR8(double value)
{
    VARIANT result;
    result.vt = VT_R8;
    result.dblVal = value;
    return result;
}

VARIANT VARIANT::fromBool(VARIANT_BOOL value)
{
    VARIANT result;
    result.vt = VT_BOOL;
    result.boolVal = value;
    return result;
}

VARIANT VARIANT::fromString(std::u16string_view text)
{
    VARIANT result;
    result.vt = VT_BSTR;
    result.bstrVal = SysAllocString(text);
    return result;
}

VARIANT VARIANT::fromArray(SAFEARRAY* array)
{
    VARIANT result;
    if (array) {
        result.vt = VARTYPE(VT_ARRAY | array->vt);
        result.parray = array;
    }
    return result;
}

void VariantInit(VARIANT* value)
{
    if (value) {
        value->vt = VT_EMPTY;
        value->llVal = 0;
    }
}

HRESULT VariantClear(VARIANT* value)
{
    if (!value)
        return E_INVALIDARG;
    if (!(value->vt & VT_BYREF)) {
        if (value->vt & VT_ARRAY) {
            const HRESULT hr = SafeArrayDestroy(value->parray);
            if (FAILED(hr))
                return hr;
        } else if (value->vt == VT_BSTR) {
            SysFreeString(value->bstrVal);
        }
    }
    VariantInit(value);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* source)
{
    if (!dest || !source)
        return E_INVALIDARG;
    if (dest == source)
        return S_OK;
    VARIANT copy;
    copy.vt = source->vt;
    copy.llVal = source->llVal;
    if (!(source->vt & VT_BYREF)) {
        if (source->vt & VT_ARRAY) {
            copy.parray = nullptr;
            const HRESULT hr = SafeArrayCopy(source->parray, &copy.parray);
            if (FAILED(hr)) {
                copy.vt = VT_EMPTY;
                return hr;
            }
        } else if (source->vt == VT_BSTR && source->bstrVal) {
            copy.bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
            if (!copy.bstrVal) {
                copy.vt = VT_EMPTY;
                return E_OUTOFMEMORY;
            }
        }
    }
    const HRESULT hr = VariantClear(dest);
    if (FAILED(hr))
        return hr;
    dest->vt = std::exchange(copy.vt, VARTYPE(VT_EMPTY));
    dest->llVal = std::exchange(copy.llVal, 0);
    return S_OK;
}

} // namespace com
