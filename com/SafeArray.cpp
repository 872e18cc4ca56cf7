#include "com/SafeArray.h"

#include "com/Bstr.h"
#include "com/Variant.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace com {
namespace {

ULONG elementSize(VARTYPE vt)
{
    switch (vt) {
    case VT_I2: return sizeof(std::int16_t);
    case VT_I4: return sizeof(LONG);
    case VT_R4: return sizeof(float);
    case VT_R8: return sizeof(double);
    case VT_BSTR: return sizeof(BSTR);
    case VT_BOOL: return sizeof(VARIANT_BOOL);
    case VT_VARIANT: return sizeof(VARIANT);
    case VT_UI1: return sizeof(std::uint8_t);
    case VT_ERROR: return sizeof(HRESULT);
    default: return 0;
    }
}

// Offset of the element in elements; false when an index is out of bounds.
bool elementOffset(const SAFEARRAY* array, const LONG* indices, std::size_t& offset)
{
    offset = 0;
    std::size_t stride = 1;
    for (std::size_t d = 0; d < array->rgsabound.size(); ++d) {
        const auto& bound = array->rgsabound[d];
        const long long relative = (long long)indices[d] - bound.lLbound;
        if (relative < 0 || relative >= (long long)bound.cElements)
            return false;
        offset += std::size_t(relative) * stride;
        stride *= bound.cElements;
    }
    return true;
}

void* elementAt(const SAFEARRAY* array, std::size_t offset)
{
    return static_cast<char*>(array->pvData) + offset * array->cbElements;
}

void releaseElements(SAFEARRAY* array)
{
    const ULONG count = SafeArrayElementCount(array);
    if (array->vt == VT_BSTR) {
        auto* strings = static_cast<BSTR*>(array->pvData);
        for (ULONG i = 0; i < count; ++i)
            SysFreeString(strings[i]);
    } else if (array->vt == VT_VARIANT) {
        auto* values = static_cast<VARIANT*>(array->pvData);
        for (ULONG i = 0; i < count; ++i)
            values[i].~VARIANT();
    }
}

} // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, const SAFEARRAYBOUND* bounds)
{
    const ULONG size = elementSize(vt);
    if (size == 0 || cDims == 0 || cDims > 0xFFFF || !bounds)
        return nullptr;
    unsigned long long count = 1;
    for (UINT d = 0; d < cDims; ++d) {
        count *= bounds[d].cElements;
        if (count * size > std::numeric_limits<std::uint32_t>::max())
            return nullptr;
    }
    auto* array = new (std::nothrow) SAFEARRAY;
    if (!array)
        return nullptr;
    array->cDims = USHORT(cDims);
    array->cbElements = size;
    array->vt = vt;
    array->rgsabound.assign(bounds, bounds + cDims);
    // Zero bytes are an empty BSTR, a false boolean, 0 and an empty VARIANT.
    array->pvData = std::calloc(std::size_t(count ? count : 1), size);
    if (!array->pvData) {
        delete array;
        return nullptr;
    }
    if (vt == VT_VARIANT) {
        auto* values = static_cast<VARIANT*>(array->pvData);
        for (unsigned long long i = 0; i < count; ++i)
            new (&values[i]) VARIANT;
    }
    return array;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements)
{
    const SAFEARRAYBOUND bound{elements, lowerBound};
    return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array)
{
    if (!array)
        return S_OK;
    if (array->cLocks > 0)
        return DISP_E_ARRAYISLOCKED;
    releaseElements(array);
    std::free(array->pvData);
    delete array;
    return S_OK;
}

HRESULT SafeArrayCopy(const SAFEARRAY* array, SAFEARRAY** copy)
{
    if (!copy)
        return E_POINTER;
    *copy = nullptr;
    if (!array)
        return S_OK;
    SAFEARRAY* result = SafeArrayCreate(array->vt, array->cDims, array->rgsabound.data());
    if (!result)
        return E_OUTOFMEMORY;
    const ULONG count = SafeArrayElementCount(array);
    if (array->vt == VT_BSTR) {
        auto* from = static_cast<BSTR*>(array->pvData);
        auto* to = static_cast<BSTR*>(result->pvData);
        for (ULONG i = 0; i < count; ++i) {
            if (from[i] && !(to[i] = SysAllocStringLen(from[i], SysStringLen(from[i])))) {
                SafeArrayDestroy(result);
                return E_OUTOFMEMORY;
            }
        }
    } else if (array->vt == VT_VARIANT) {
        auto* from = static_cast<VARIANT*>(array->pvData);
        auto* to = static_cast<VARIANT*>(result->pvData);
        for (ULONG i = 0; i < count; ++i) {
            const HRESULT hr = VariantCopy(&to[i], &from[i]);
            if (FAILED(hr)) {
                SafeArrayDestroy(result);
                return hr;
            }
        }
    } else {
        std::memcpy(result->pvData, array->pvData, std::size_t(count) * array->cbElements);
    }
    *copy = result;
    return S_OK;
}

UINT SafeArrayGetDim(const SAFEARRAY* array) { return array ? array->cDims : 0; }
UINT SafeArrayGetElemsize(const SAFEARRAY* array) { return array ? array->cbElements : 0; }

HRESULT SafeArrayGetVartype(const SAFEARRAY* array, VARTYPE* vt)
{
    if (!array || !vt)
        return E_INVALIDARG;
    *vt = array->vt;
    return S_OK;
}

HRESULT SafeArrayGetLBound(const SAFEARRAY* array, UINT dimension, LONG* lowerBound)
{
    if (!array || !lowerBound)
        return E_INVALIDARG;
    if (dimension < 1 || dimension > array->cDims)
        return DISP_E_BADINDEX;
    *lowerBound = array->rgsabound[dimension - 1].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(const SAFEARRAY* array, UINT dimension, LONG* upperBound)
{
    if (!array || !upperBound)
        return E_INVALIDARG;
    if (dimension < 1 || dimension > array->cDims)
        return DISP_E_BADINDEX;
    const auto& bound = array->rgsabound[dimension - 1];
    *upperBound = LONG(bound.lLbound + (long long)bound.cElements - 1);
    return S_OK;
}

ULONG SafeArrayElementCount(const SAFEARRAY* array)
{
    if (!array)
        return 0;
    ULONG count = 1;
    for (const auto& bound : array->rgsabound)
        count *= bound.cElements;
    return count;
}

HRESULT SafeArrayPtrOfIndex(SAFEARRAY* array, const LONG* indices, void** element)
{
    if (!array || !indices || !element)
        return E_INVALIDARG;
    std::size_t offset;
    if (!elementOffset(array, indices, offset))
        return DISP_E_BADINDEX;
    *element = elementAt(array, offset);
    return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* array, const LONG* indices, const void* value)
{
    if (!array || !indices)
        return E_INVALIDARG;
    std::size_t offset;
    if (!elementOffset(array, indices, offset))
        return DISP_E_BADINDEX;
    void* slot = elementAt(array, offset);
    if (array->vt == VT_BSTR) {
        auto text = static_cast<BSTR>(const_cast<void*>(value));
        BSTR copy = nullptr;
        if (text && !(copy = SysAllocStringLen(text, SysStringLen(text))))
            return E_OUTOFMEMORY;
        SysFreeString(*static_cast<BSTR*>(slot));
        *static_cast<BSTR*>(slot) = copy;
        return S_OK;
    }
    if (!value)
        return E_INVALIDARG;
    if (array->vt == VT_VARIANT)
        return VariantCopy(static_cast<VARIANT*>(slot), static_cast<const VARIANT*>(value));
    std::memcpy(slot, value, array->cbElements);
    return S_OK;
}

HRESULT SafeArrayGetElement(const SAFEARRAY* array, const LONG* indices, void* value)
{
    if (!array || !indices || !value)
        return E_INVALIDARG;
    std::size_t offset;
    if (!elementOffset(array, indices, offset))
        return DISP_E_BADINDEX;
    const void* slot = elementAt(array, offset);
    if (array->vt == VT_BSTR) {
        BSTR text = *static_cast<BSTR const*>(slot);
        BSTR copy = nullptr;
        if (text && !(copy = SysAllocStringLen(text, SysStringLen(text))))
            return E_OUTOFMEMORY;
        *static_cast<BSTR*>(value) = copy;
        return S_OK;
    }
    if (array->vt == VT_VARIANT)
        return VariantCopy(static_cast<VARIANT*>(value), static_cast<const VARIANT*>(slot));
    std::memcpy(value, slot, array->cbElements);
    return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* array)
{
    if (!array)
        return E_INVALIDARG;
    ++array->cLocks;
    return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* array)
{
    if (!array || array->cLocks == 0)
        return E_INVALIDARG;
    --array->cLocks;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data)
{
    if (!array || !data)
        return E_INVALIDARG;
    ++array->cLocks;
    *data = array->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) { return SafeArrayUnlock(array); }

} // namespace com
