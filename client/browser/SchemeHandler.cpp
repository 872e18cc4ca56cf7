#include "client/browser/SchemeHandler.h"

#include "client/browser/EngineText.h"
#include "client/framework/Wnd.h"
#include "engine/cef/CefBrowser.h"
#include "shared/Messages.h"

#include <QWidget>
#include <memory>

bool ClientSchemeHandler::ProcessRequest(CefRefPtr<CefRequest> request, CefRefPtr<CefSchemeHandlerCallback>)
{
    std::lock_guard guard(lock);
    const std::string url = CefToAnsi(request->GetURL());
    if (url.find("tencent://") == std::string::npos || !browser)
        return false;
    QWidget* window = browser->GetWindowHandle();
    framework::Wnd* hostView = framework::Wnd::FromWidget(window ? window->parentWidget() : nullptr);
    if (!hostView)
        return false;
    // The host view owns the text once the message is on its way.
    auto address = std::make_unique<std::string>(url);
    if (platform::postMessage(hostView->GetSafeHwnd(), tolvan::UM_SHELL_OPEN,
                              reinterpret_cast<platform::WPARAM>(address.get()), 0))
        address.release();
    return false;
}

void ClientSchemeHandler::GetResponseHeaders(CefRefPtr<CefResponse>, std::int64_t& responseLength, CefString&)
{
    responseLength = 0;
}

bool ClientSchemeHandler::ReadResponse(void*, int, int& bytesRead, CefRefPtr<CefSchemeHandlerCallback>)
{
    bytesRead = 0;
    return false;
}

CefRefPtr<CefSchemeHandler> ClientSchemeHandlerFactory::Create(CefRefPtr<CefBrowser> browser, const CefString&,
                                                               CefRefPtr<CefRequest>)
{
    return new ClientSchemeHandler(browser);
}

void RegisterSchemeHandlers()
{
    CefRegisterSchemeHandlerFactory(CefString("tencent"), CefString(), new ClientSchemeHandlerFactory);
}
