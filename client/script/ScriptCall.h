#pragma once
// One page-function call on its way from the script bridge to the window
// thread (UM_SCRIPT_CALL, wParam = ScriptCallInfo*): the function's name, the
// page's arguments as converted, and the result the page function gives
// (VT_EMPTY until it gives one). It lives on the bridge's stack for the call.

#include "com/Variant.h"
#include "engine/cef/CefString.h"

#include <vector>

struct ScriptCallInfo {
    CefString name;
    std::vector<com::VARIANT> args;
    com::VARIANT result;

    // Frees the name, the arguments and the result.
    void Clear();
};

// An argument as the call log shows it: VT_I4 in decimal, VT_R8 as "%f",
// VT_BSTR as it is, anything else as empty text.
CefString VariantLogText(const com::VARIANT& value);

// The ConsoleMsg.log text of a call:
// "JSCallFunction \r\nFunctionName:<name> Argu:<arg> <arg> ...\r\n".
CefString ScriptCallLogText(const ScriptCallInfo& call);
