#pragma once
// SAFEARRAY: Automation's array with any number of dimensions, each with its
// own lower bound. Elements are stored with the first dimension varying
// fastest (element (i, j) of an n x m array sits at (i - lb1) + (j - lb2) * n).
//
// Indices passed to the element functions list the dimensions in order:
// indices[0] is the index in dimension 1. Dimensions are numbered from 1 in
// SafeArrayGetLBound and SafeArrayGetUBound.
//
// Element types: VT_I2, VT_I4, VT_R4, VT_R8, VT_BSTR, VT_BOOL, VT_VARIANT,
// VT_UI1, VT_ERROR. The array owns BSTR and VARIANT elements: destroying it
// frees them, putting an element stores a copy, getting one returns a copy.

#include "com/ComTypes.h"

#include <vector>

namespace com {

struct SAFEARRAYBOUND {
    ULONG cElements = 0;
    LONG lLbound = 0;
};

struct SAFEARRAY {
    USHORT cDims = 0;
    ULONG cbElements = 0;  // bytes per element
    ULONG cLocks = 0;
    void* pvData = nullptr;
    VARTYPE vt = VT_EMPTY;                  // element type
    std::vector<SAFEARRAYBOUND> rgsabound;  // dimension 1 first
};

// Null for an unsupported element type, no dimensions, or too many elements.
SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, const SAFEARRAYBOUND* bounds);
SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements);
// Frees the array and what its elements own. Fails while the array is locked.
HRESULT SafeArrayDestroy(SAFEARRAY* array);
// A new array with copies of every element.
HRESULT SafeArrayCopy(const SAFEARRAY* array, SAFEARRAY** copy);

UINT SafeArrayGetDim(const SAFEARRAY* array);
UINT SafeArrayGetElemsize(const SAFEARRAY* array);
HRESULT SafeArrayGetVartype(const SAFEARRAY* array, VARTYPE* vt);
HRESULT SafeArrayGetLBound(const SAFEARRAY* array, UINT dimension, LONG* lowerBound);
HRESULT SafeArrayGetUBound(const SAFEARRAY* array, UINT dimension, LONG* upperBound);
// Total number of elements (the product of the dimensions' sizes).
ULONG SafeArrayElementCount(const SAFEARRAY* array);

// For VT_BSTR `value` is the BSTR itself; for every other type a pointer to
// the value (a VARIANT* for VT_VARIANT).
HRESULT SafeArrayPutElement(SAFEARRAY* array, const LONG* indices, const void* value);
// Copies the element to `value` (a new BSTR or a VARIANT copy the caller owns).
HRESULT SafeArrayGetElement(const SAFEARRAY* array, const LONG* indices, void* value);
HRESULT SafeArrayPtrOfIndex(SAFEARRAY* array, const LONG* indices, void** element);

HRESULT SafeArrayLock(SAFEARRAY* array);
HRESULT SafeArrayUnlock(SAFEARRAY* array);
HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
HRESULT SafeArrayUnaccessData(SAFEARRAY* array);

} // namespace com
