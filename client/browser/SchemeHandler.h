#pragma once
// The `tencent` scheme belongs to the chat program on the desktop. A page
// that navigates to such an address loads nothing and stays where it is; the
// address goes to the host view (the browser window's parent) as a posted
// UM_SHELL_OPEN, which opens it with the desktop's handler.

#include "engine/cef/CefBrowser.h"
#include "engine/cef/CefScheme.h"

#include <mutex>

class ClientSchemeHandler : public CefSchemeHandler {
public:
    explicit ClientSchemeHandler(CefRefPtr<CefBrowser> browser) : browser(std::move(browser)) {}

    // Always refuses the request.
    bool ProcessRequest(CefRefPtr<CefRequest> request, CefRefPtr<CefSchemeHandlerCallback> callback) override;
    void GetResponseHeaders(CefRefPtr<CefResponse> response, std::int64_t& responseLength,
                            CefString& redirectUrl) override;
    bool ReadResponse(void* dataOut, int bytesToRead, int& bytesRead,
                      CefRefPtr<CefSchemeHandlerCallback> callback) override;
    void Cancel() override {}

private:
    CefRefPtr<CefBrowser> browser;
    std::mutex lock;

    IMPLEMENT_REFCOUNTING(ClientSchemeHandler);
};

class ClientSchemeHandlerFactory : public CefSchemeHandlerFactory {
public:
    CefRefPtr<CefSchemeHandler> Create(CefRefPtr<CefBrowser> browser, const CefString& schemeName,
                                       CefRefPtr<CefRequest> request) override;

private:
    IMPLEMENT_REFCOUNTING(ClientSchemeHandlerFactory);
};

// Registers the factory for "tencent" (every domain). Called once, after the
// engine has started.
void RegisterSchemeHandlers();
