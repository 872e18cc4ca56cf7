#pragma once
// Script values, native functions, script contexts and extensions.
//
// Pages run in Chromium's renderer processes; native code here works on
// native values that cross to the page and back at each call:
//
//  - Values made here (CreateObject, CreateFunction, ...) reach a page when
//    they are set on a context's global object during OnContextCreated, or
//    returned from a native function. An object keeps its identity: the same
//    native object gives the same page object in one context every time it
//    crosses, and its properties are brought up to date at each crossing.
//    The page sees a function as a function that calls the handler
//    synchronously.
//  - Values from the page (arguments, the receiver) are copies taken at the
//    call: numbers, strings, booleans, null and undefined as they are,
//    arrays element by element, plain objects with their own enumerable
//    properties, a few levels deep. Objects and functions that came from
//    native code come back as the very native objects. The page's global
//    object comes as the context's global object.
//  - A number is IsInt when it is a whole number that fits 32 signed bits;
//    every number is IsDouble. Arrays and functions are objects too.
//  - A call made while its page unloads (in beforeunload, pagehide or
//    unload handlers) cannot reach native code: it throws an Error.
//
// All of this happens on the engine's user-interface thread.

#include "engine/cef/CefBase.h"
#include "engine/cef/CefTypes.h"

#include <vector>

class CefBrowser;
class CefFrame;
class CefV8Context;
class CefV8Handler;
class CefV8Value;

using CefV8ValueList = std::vector<CefRefPtr<CefV8Value>>;

class CefV8Value : public virtual CefBase {
public:
    static CefRefPtr<CefV8Value> CreateUndefined();
    static CefRefPtr<CefV8Value> CreateNull();
    static CefRefPtr<CefV8Value> CreateBool(bool value);
    static CefRefPtr<CefV8Value> CreateInt(int value);
    static CefRefPtr<CefV8Value> CreateDouble(double value);
    static CefRefPtr<CefV8Value> CreateString(const CefString& value);
    static CefRefPtr<CefV8Value> CreateObject();
    static CefRefPtr<CefV8Value> CreateArray();
    // A function named `name` whose calls go to handler->Execute.
    static CefRefPtr<CefV8Value> CreateFunction(const CefString& name,
                                                CefRefPtr<CefV8Handler> handler);

    virtual bool IsUndefined() = 0;
    virtual bool IsNull() = 0;
    virtual bool IsBool() = 0;
    virtual bool IsInt() = 0;
    virtual bool IsDouble() = 0;
    virtual bool IsString() = 0;
    virtual bool IsObject() = 0;
    virtual bool IsArray() = 0;
    virtual bool IsFunction() = 0;
    // The same object (for objects), or equal values of the same kind.
    virtual bool IsSame(CefRefPtr<CefV8Value> that) = 0;

    // Conversions of the value: 0, false or empty text when it is of another
    // kind (a double is cut towards zero by GetIntValue).
    virtual bool GetBoolValue() = 0;
    virtual int GetIntValue() = 0;
    virtual double GetDoubleValue() = 0;
    virtual CefString GetStringValue() = 0;

    // Properties of objects (arrays and functions included). On other values
    // they do nothing and return false, undefined or nothing.
    virtual bool HasValue(const CefString& key) = 0;
    virtual bool HasValue(int index) = 0;
    virtual bool DeleteValue(const CefString& key) = 0;
    virtual bool DeleteValue(int index) = 0;
    // Undefined when absent.
    virtual CefRefPtr<CefV8Value> GetValue(const CefString& key) = 0;
    virtual CefRefPtr<CefV8Value> GetValue(int index) = 0;
    // `attribute` is a combination of V8_PROPERTY_ATTRIBUTE_* bits, applied
    // in the page: a read-only property cannot be assigned there. Native code
    // may always set a property again.
    virtual bool SetValue(const CefString& key, CefRefPtr<CefV8Value> value,
                          cef_v8_propertyattribute_t attribute = V8_PROPERTY_ATTRIBUTE_NONE) = 0;
    virtual bool SetValue(int index, CefRefPtr<CefV8Value> value) = 0;
    // Property names in the order they were first set (array indices first,
    // ascending, as text).
    virtual bool GetKeys(std::vector<CefString>& keys) = 0;

    // Arrays: one more than the highest index set; 0 for other values.
    virtual int GetArrayLength() = 0;

    // Functions made by CreateFunction; empty for other values.
    virtual CefString GetFunctionName() = 0;
    virtual CefRefPtr<CefV8Handler> GetFunctionHandler() = 0;
};

// Serves the calls of native functions.
class CefV8Handler : public virtual CefBase {
public:
    // A page called the function `name` of this handler, with `object` as
    // the receiver ("this"; the context's global object for a bare call)
    // and `arguments`. Runs
    // synchronously inside the page's call: the page waits for it. Set
    // `retval` to give the call a value (unset: undefined). Set `exception`
    // to make the call throw an Error with that message. Returning false
    // (not handled) gives undefined.
    virtual bool Execute(const CefString& name, CefRefPtr<CefV8Value> object,
                         const CefV8ValueList& arguments, CefRefPtr<CefV8Value>& retval,
                         CefString& exception) = 0;
};

// The script context of one document of one frame.
class CefV8Context : public virtual CefBase {
public:
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    virtual CefRefPtr<CefFrame> GetFrame() = 0;
    // The context's global object, as native code sees it: it holds what
    // native code set on it (those properties are placed in the page's
    // global scope), not the page's own globals.
    virtual CefRefPtr<CefV8Value> GetGlobal() = 0;
    virtual bool IsSame(CefRefPtr<CefV8Context> that) = 0;
};

// Registers script code that runs in every new script context of every
// browser created afterwards, after OnContextCreated and before the page's
// own scripts, in the page's global scope (so `function f(){}` defines the
// global f). Code that fails to run is reported to the page's console; the
// other extensions still run. `handler` is kept for the code's native functions; this engine supports no `native
// function` declarations in extension code, so it is never called. False
// when the engine is not started or the name is empty or taken.
bool CefRegisterExtension(const CefString& extensionName, const CefString& javascriptCode,
                          CefRefPtr<CefV8Handler> handler);
