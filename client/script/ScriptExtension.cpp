#include "client/script/ScriptExtension.h"

#include "client/browser/EngineText.h"
#include "engine/cef/CefV8.h"
#include "platform/Paths.h"

namespace {

// The extension defines no native functions, so nothing is ever handled here.
class ClientV8ExtensionHandler : public CefV8Handler {
public:
    bool Execute(const CefString&, CefRefPtr<CefV8Value>, const CefV8ValueList&, CefRefPtr<CefV8Value>&,
                 CefString&) override
    {
        return false;
    }

private:
    IMPLEMENT_REFCOUNTING(ClientV8ExtensionHandler);
};

} // namespace

void RegisterScriptExtension()
{
    const auto code = BuildDojoprCode(platform::programFolder());
    if (!code)
        return;
    CefRegisterExtension(CefString("v8/test"), AnsiToCef(*code), new ClientV8ExtensionHandler);
}
