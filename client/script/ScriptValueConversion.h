#pragma once
// Script values to VARIANTs and back, for the page's calls of native
// functions.
//
// Script to VARIANT (the first matching rule wins):
//   integer (fits 32 signed bits)  VT_I4
//   other number                   VT_R8
//   boolean                        VT_BOOL, 1 for true (not -1), 0 for false
//   string                         VT_BSTR
//   array                          VT_ARRAY | element type (below)
//   anything else                  VT_EMPTY (undefined, null, objects, functions)
//
// Arrays take their element type from their first element: an integer gives
// a VT_I4 vector, another number VT_R8, a string VT_BSTR, a boolean VT_BOOL,
// and every later element is read as that kind whatever it is ([1, 2.7] is
// {1, 2}). A first element that is itself an array makes a two-dimensional
// array: n rows (the outer length) of as many columns as the first row has,
// typed by the first row's rule; longer rows are cut ([[1,2],[3,4,5]] is
// 2 x 2), shorter rows leave zeros, and boolean elements are not stored. An
// empty array, or one whose first element has no element type, gives
// VT_EMPTY. All arrays start at index 0.

#include "com/Variant.h"
#include "engine/cef/CefV8.h"

#include <vector>

// Every array made while converting is added to `arrayArgs`, whose owner
// destroys them at the end of the call; the VARIANT holds a copy.
com::VARIANT ScriptToVariant(const CefRefPtr<CefV8Value>& value, std::vector<com::SAFEARRAY*>& arrayArgs);

// The array rules alone: a new array (the caller owns it), or null.
com::SAFEARRAY* ScriptArrayToSafeArray(const CefRefPtr<CefV8Value>& array);

// A page function's result for the page: VT_I4, VT_R8, VT_BSTR, VT_BOOL (true
// when non-zero); null (the page gets undefined) for any other type.
CefRefPtr<CefV8Value> VariantToScript(const com::VARIANT& value);
