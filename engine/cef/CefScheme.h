#pragma once
// Handlers for the application's own URL schemes.
//
// When a page navigates to an address of a scheme with a registered factory
// (a link, a form, script setting location, in any frame), the factory is
// asked for a handler and the handler for the request, before anything is
// loaded. A handler that refuses (ProcessRequest returns false) cancels the
// navigation: the page stays as it is and nothing is loaded. A handler that
// accepts serves the response: it calls callback->HeadersAvailable() (during
// ProcessRequest or later), then the engine asks GetResponseHeaders once and
// ReadResponse until it returns false.
//
// Only navigations are handled; resources of such a scheme inside a page
// (images, scripts) fail to load. The built-in schemes (http, https, file,
// data, about, blob, ...) cannot have factories.

#include "engine/cef/CefBase.h"
#include "engine/cef/CefTypes.h"

class CefBrowser;

class CefRequest : public virtual CefBase {
public:
    virtual CefString GetURL() = 0;
    virtual CefString GetMethod() = 0;
};

class CefResponse : public virtual CefBase {
public:
    virtual int GetStatus() = 0;
    virtual void SetStatus(int status) = 0;
    virtual CefString GetMimeType() = 0;
    virtual void SetMimeType(const CefString& mimeType) = 0;
};

class CefSchemeHandlerCallback : public virtual CefBase {
public:
    // The response's headers can be asked for now.
    virtual void HeadersAvailable() = 0;
    // More data can be read now (after ReadResponse returned true with no
    // bytes).
    virtual void BytesAvailable() = 0;
    // The handler gives up the request; the load fails.
    virtual void Cancel() = 0;
};

class CefSchemeHandler : public virtual CefBase {
public:
    // Return false to refuse the request (the navigation is cancelled).
    virtual bool ProcessRequest(CefRefPtr<CefRequest> request,
                                CefRefPtr<CefSchemeHandlerCallback> callback) = 0;
    // Status and MIME type of the response; its length (-1: unknown). Only
    // the MIME type has an effect: Qt WebEngine answers with status 200, and
    // `redirectUrl` is ignored.
    virtual void GetResponseHeaders(CefRefPtr<CefResponse> response, std::int64_t& responseLength,
                                    CefString& redirectUrl) = 0;
    // Copy up to `bytesToRead` bytes to `dataOut`, set `bytesRead` and return
    // true; return true with no bytes to wait for callback->BytesAvailable();
    // return false at the end.
    virtual bool ReadResponse(void* dataOut, int bytesToRead, int& bytesRead,
                              CefRefPtr<CefSchemeHandlerCallback> callback) = 0;
    // The engine no longer wants the response.
    virtual void Cancel() = 0;
};

class CefSchemeHandlerFactory : public virtual CefBase {
public:
    // A handler for this request, or none to refuse it.
    virtual CefRefPtr<CefSchemeHandler> Create(CefRefPtr<CefBrowser> browser,
                                               const CefString& schemeName,
                                               CefRefPtr<CefRequest> request) = 0;
};

// Registers `factory` for the scheme `schemeName` (lower case letters,
// digits, '+', '-', '.'), for the host `domainName` or, with an empty
// domain, for every address of the scheme. Call after CefInitialize and
// before the first browser is created: Chromium learns the schemes when its
// first browser starts, so schemes first registered later are not handled.
// A later registration for the same scheme and domain replaces the earlier
// one; a null factory removes it. False for built-in schemes, bad names, or
// before CefInitialize.
bool CefRegisterSchemeHandlerFactory(const CefString& schemeName, const CefString& domainName,
                                     CefRefPtr<CefSchemeHandlerFactory> factory);

// Removes every registered factory.
bool CefClearSchemeHandlerFactories();
