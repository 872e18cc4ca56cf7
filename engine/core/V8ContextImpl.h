#pragma once
// A script context as native code sees it: its browser, frame and global
// object. Shared by the engines.

#include "engine/cef/CefBrowser.h"
#include "engine/cef/CefV8.h"

namespace engine {

class V8ContextImpl : public CefV8Context {
public:
    V8ContextImpl(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame)
        : m_browser(browser), m_frame(frame), m_global(CefV8Value::CreateObject())
    {
    }

    CefRefPtr<CefBrowser> GetBrowser() override { return m_browser; }
    CefRefPtr<CefFrame> GetFrame() override { return m_frame; }
    CefRefPtr<CefV8Value> GetGlobal() override { return m_global; }
    bool IsSame(CefRefPtr<CefV8Context> that) override { return that.get() == this; }

private:
    CefRefPtr<CefBrowser> m_browser;
    CefRefPtr<CefFrame> m_frame;
    CefRefPtr<CefV8Value> m_global;

    IMPLEMENT_REFCOUNTING(V8ContextImpl);
};

} // namespace engine
