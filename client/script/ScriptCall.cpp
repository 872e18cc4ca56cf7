#include "client/script/ScriptCall.h"

#include <cstdio>
#include <string>

void ScriptCallInfo::Clear()
{
    name.clear();
    args.clear();
    com::VariantClear(&result);
}

CefString VariantLogText(const com::VARIANT& value)
{
    switch (value.vt) {
    case com::VT_I4:
        return CefString(std::to_string(value.lVal));
    case com::VT_R8: {
        char text[512];
        std::snprintf(text, sizeof text, "%f", value.dblVal);
        return CefString(text);
    }
    case com::VT_BSTR:
        return CefString(com::BstrView(value.bstrVal));
    default:
        return CefString();
    }
}

CefString ScriptCallLogText(const ScriptCallInfo& call)
{
    std::u16string text = u"JSCallFunction \r\nFunctionName:";
    text += call.name.ToString16();
    text += u" Argu:";
    for (const com::VARIANT& argument : call.args) {
        text += VariantLogText(argument).ToString16();
        text += u' ';
    }
    text += u"\r\n";
    return CefString(text);
}
