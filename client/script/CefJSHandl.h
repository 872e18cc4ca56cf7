#pragma once
// The native side of `external`: one handler serves every native function of
// every page. A call is dispatched by name:
//
//  - CreateCOMObj, GetExcelObj, DeleteCOMObj: automation of other programs;
//    no automation server can be reached on this system, so they give
//    undefined;
//  - a function of an object with a non-empty `cefObjName` property: a
//    method of an automation object; there are none, so it gives null;
//  - anything else: a page function. The converted arguments (empty values
//    dropped, so later ones move up) travel to the host view's window as
//    UM_SCRIPT_CALL, which waits for the page function, and its result comes
//    back to the page (undefined when it gives none).
//
// No call ever throws into the page.

#include "engine/cef/CefV8.h"
#include "platform/Windows.h"
#include "com/SafeArray.h"

#include <vector>

class CChromView;

class CCefJSHandl : public CefV8Handler {
public:
    CCefJSHandl(platform::WindowHandle hostWindow, CChromView* hostView);
    ~CCefJSHandl() override;

    bool Execute(const CefString& name, CefRefPtr<CefV8Value> object, const CefV8ValueList& arguments,
                 CefRefPtr<CefV8Value>& retval, CefString& exception) override;

    // The host view is going away: later calls give undefined.
    void DetachHostView();

private:
    void DestroyArrayArgs();

    platform::WindowHandle hostWindow;
    std::vector<com::SAFEARRAY*> arrayArgs;  // arrays made for the current call
    CChromView* hostView;

    IMPLEMENT_REFCOUNTING(CCefJSHandl);
};
