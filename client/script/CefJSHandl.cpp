#include "client/script/CefJSHandl.h"

#include "client/script/ScriptCall.h"
#include "client/script/ScriptValueConversion.h"
#include "shared/Messages.h"

namespace {

bool isAutomationFunction(const CefString& name)
{
    return name == CefString("CreateCOMObj") || name == CefString("GetExcelObj") ||
           name == CefString("DeleteCOMObj");
}

// The receiver's automation object name: its `cefObjName` as text; empty
// when absent.
CefString objectNameOf(const CefRefPtr<CefV8Value>& object)
{
    CefRefPtr<CefV8Value> name = object->GetValue(CefString("cefObjName"));
    if (!name || name->IsUndefined())
        return {};
    return name->GetStringValue();
}

} // namespace

CCefJSHandl::CCefJSHandl(platform::WindowHandle hostWindow, CChromView* hostView)
    : hostWindow(hostWindow), hostView(hostView)
{
}

CCefJSHandl::~CCefJSHandl() { DestroyArrayArgs(); }

void CCefJSHandl::DetachHostView()
{
    hostWindow = {};
    hostView = nullptr;
}

void CCefJSHandl::DestroyArrayArgs()
{
    for (com::SAFEARRAY* array : arrayArgs)
        com::SafeArrayDestroy(array);
    arrayArgs.clear();
}

bool CCefJSHandl::Execute(const CefString& name, CefRefPtr<CefV8Value> object, const CefV8ValueList& arguments,
                          CefRefPtr<CefV8Value>& retval, CefString&)
{
    if (!hostWindow || name.empty() || !object || !object->IsObject())
        return true;

    DestroyArrayArgs();
    ScriptCallInfo call;
    call.name = name;
    for (const CefRefPtr<CefV8Value>& argument : arguments) {
        com::VARIANT value = ScriptToVariant(argument, arrayArgs);
        if (value.vt != com::VT_EMPTY)
            call.args.push_back(std::move(value));
    }

    if (isAutomationFunction(name)) {
        DestroyArrayArgs();
        return true;
    }
    if (!objectNameOf(object).empty()) {
        DestroyArrayArgs();
        retval = CefV8Value::CreateNull();
        return true;
    }

    platform::sendMessage(hostWindow, tolvan::UM_SCRIPT_CALL, reinterpret_cast<platform::WPARAM>(&call),
                          reinterpret_cast<platform::LPARAM>(hostView));
    if (CefRefPtr<CefV8Value> result = VariantToScript(call.result))
        retval = result;
    DestroyArrayArgs();
    call.Clear();
    return true;
}
