#include "client/script/ScriptValueConversion.h"

#include <algorithm>

namespace {

using com::LONG;

// The element type an array's first element asks for; VT_EMPTY when none.
com::VARTYPE elementTypeOf(const CefRefPtr<CefV8Value>& first)
{
    if (!first)
        return com::VT_EMPTY;
    if (first->IsInt())
        return com::VT_I4;
    if (first->IsDouble())
        return com::VT_R8;
    if (first->IsString())
        return com::VT_BSTR;
    if (first->IsBool())
        return com::VT_BOOL;
    return com::VT_EMPTY;
}

// Stores a script value at `indices`, read as the array's element type.
void putElement(com::SAFEARRAY* array, const LONG* indices, const CefRefPtr<CefV8Value>& element)
{
    switch (array->vt) {
    case com::VT_I4: {
        const LONG value = element ? element->GetIntValue() : 0;
        com::SafeArrayPutElement(array, indices, &value);
        break;
    }
    case com::VT_R8: {
        const double value = element ? element->GetDoubleValue() : 0.0;
        com::SafeArrayPutElement(array, indices, &value);
        break;
    }
    case com::VT_BSTR: {
        com::BSTR text = com::SysAllocString(element ? element->GetStringValue().ToString16() : std::u16string());
        com::SafeArrayPutElement(array, indices, text);
        com::SysFreeString(text);
        break;
    }
    case com::VT_BOOL: {
        const com::VARIANT_BOOL value = element && element->GetBoolValue() ? 1 : 0;
        com::SafeArrayPutElement(array, indices, &value);
        break;
    }
    default:
        break;
    }
}

com::SAFEARRAY* vectorFrom(const CefRefPtr<CefV8Value>& array, com::VARTYPE type, int length)
{
    com::SAFEARRAY* result = com::SafeArrayCreateVector(type, 0, com::ULONG(length));
    if (!result)
        return nullptr;
    for (LONG i = 0; i < length; ++i)
        putElement(result, &i, array->GetValue(int(i)));
    return result;
}

com::SAFEARRAY* matrixFrom(const CefRefPtr<CefV8Value>& array, int rows)
{
    // The first row decides the element type and the number of columns.
    com::SAFEARRAY* firstRow = ScriptArrayToSafeArray(array->GetValue(0));
    if (!firstRow)
        return nullptr;
    const com::VARTYPE type = firstRow->vt;
    const com::ULONG columns = firstRow->rgsabound[0].cElements;
    com::SafeArrayDestroy(firstRow);

    const com::SAFEARRAYBOUND bounds[2] = {{com::ULONG(rows), 0}, {columns, 0}};
    com::SAFEARRAY* result = com::SafeArrayCreate(type, 2, bounds);
    if (!result || type == com::VT_BOOL)
        return result;
    for (LONG i = 0; i < rows; ++i) {
        CefRefPtr<CefV8Value> row = array->GetValue(int(i));
        if (!row || !row->IsArray())
            continue;
        const LONG length = std::min<LONG>(row->GetArrayLength(), LONG(columns));
        for (LONG j = 0; j < length; ++j) {
            const LONG indices[2] = {i, j};
            putElement(result, indices, row->GetValue(int(j)));
        }
    }
    return result;
}

} // namespace

com::SAFEARRAY* ScriptArrayToSafeArray(const CefRefPtr<CefV8Value>& array)
{
    if (!array || !array->IsArray())
        return nullptr;
    const int length = array->GetArrayLength();
    if (length <= 0)
        return nullptr;
    CefRefPtr<CefV8Value> first = array->GetValue(0);
    if (first && first->IsArray())
        return matrixFrom(array, length);
    const com::VARTYPE type = elementTypeOf(first);
    if (type == com::VT_EMPTY)
        return nullptr;
    return vectorFrom(array, type, length);
}

com::VARIANT ScriptToVariant(const CefRefPtr<CefV8Value>& value, std::vector<com::SAFEARRAY*>& arrayArgs)
{
    if (!value)
        return {};
    if (value->IsInt())
        return com::VARIANT::fromI4(value->GetIntValue());
    if (value->IsDouble())
        return com::VARIANT::fromR8(value->GetDoubleValue());
    if (value->IsBool())
        return com::VARIANT::fromBool(value->GetBoolValue() ? 1 : 0);
    if (value->IsString())
        return com::VARIANT::fromString(value->GetStringValue().ToString16());
    if (value->IsArray()) {
        com::SAFEARRAY* array = ScriptArrayToSafeArray(value);
        if (!array)
            return {};
        arrayArgs.push_back(array);
        com::SAFEARRAY* copy = nullptr;
        if (com::FAILED(com::SafeArrayCopy(array, &copy)))
            return {};
        return com::VARIANT::fromArray(copy);
    }
    return {};
}

CefRefPtr<CefV8Value> VariantToScript(const com::VARIANT& value)
{
    switch (value.vt) {
    case com::VT_I4:
        return CefV8Value::CreateInt(value.lVal);
    case com::VT_R8:
        return CefV8Value::CreateDouble(value.dblVal);
    case com::VT_BSTR:
        return CefV8Value::CreateString(CefString(com::BstrView(value.bstrVal)));
    case com::VT_BOOL:
        return CefV8Value::CreateBool(value.boolVal != 0);
    default:
        return nullptr;
    }
}
