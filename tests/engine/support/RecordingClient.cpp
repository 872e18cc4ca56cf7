#include "RecordingClient.h"

namespace enginetest {

std::string utf8(const CefString& text) { return text.ToString(); }

// The one handler of every `external` function; looks the function up by name.
class RecordingClient::Functions : public CefV8Handler {
public:
    explicit Functions(RecordingClient* client) : m_client(client) {}

    bool Execute(const CefString& name, CefRefPtr<CefV8Value> object,
                 const CefV8ValueList& arguments, CefRefPtr<CefV8Value>& retval,
                 CefString& exception) override
    {
        NativeCall call{utf8(name), object, arguments};
        m_client->calls.push_back(call);
        const auto found = m_client->m_functions.find(call.name);
        if (found == m_client->m_functions.end())
            return false;
        retval = found->second(call, exception);
        return true;
    }

private:
    RecordingClient* m_client;  // the client owns this handler
    IMPLEMENT_REFCOUNTING(Functions);
};

RecordingClient::RecordingClient() : m_handler(new Functions(this)) {}

void RecordingClient::OnAfterCreated(CefRefPtr<CefBrowser> browser)
{
    created.push_back(browser);
    if (onCreated)
        onCreated(browser);
}

void RecordingClient::OnBeforeClose(CefRefPtr<CefBrowser> browser) { closed.push_back(browser); }

void RecordingClient::OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, int status)
{
    loadEnds.push_back({frame, frame->IsMain(), utf8(frame->GetURL()), status});
    if (afterLoadEnd)
        afterLoadEnd(frame, status);
}

bool RecordingClient::OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, int errorCode,
                                  const CefString& failedUrl, CefString& errorText)
{
    loadErrors.push_back({errorCode, utf8(failedUrl)});
    if (errorPage.empty())
        return false;
    errorText = errorPage;
    return true;
}

bool RecordingClient::GetDownloadHandler(CefRefPtr<CefBrowser>, const CefString&,
                                         const CefString& fileName, std::int64_t,
                                         CefRefPtr<CefDownloadHandler>& handler)
{
    downloadNames.push_back(utf8(fileName));
    handler = downloads ? downloads(utf8(fileName)) : nullptr;
    return true;
}

void RecordingClient::OnTitleChange(CefRefPtr<CefBrowser>, const CefString& title)
{
    titles.push_back(utf8(title));
}

bool RecordingClient::OnConsoleMessage(CefRefPtr<CefBrowser>, const CefString& message,
                                       const CefString& source, int line)
{
    console.push_back({utf8(message), utf8(source), line});
    return true;
}

bool RecordingClient::OnKeyEvent(CefRefPtr<CefBrowser>, cef_handler_keyevent_type_t type,
                                 int code, int modifiers, bool isSystemKey, bool isAfterJavaScript)
{
    keys.push_back({int(type), code, modifiers, isSystemKey, isAfterJavaScript});
    return false;
}

bool RecordingClient::OnBeforeMenu(CefRefPtr<CefBrowser>, const CefMenuInfo& menuInfo)
{
    menus.push_back(menuInfo);
    return cancelMenus;
}

void RecordingClient::OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                       CefRefPtr<CefV8Context> context)
{
    contexts.push_back({browser, frame, context, frame->IsMain(), utf8(frame->GetURL())});
    CefRefPtr<CefV8Value> external = CefV8Value::CreateObject();
    for (const auto& [name, function] : m_functions)
        external->SetValue(name, CefV8Value::CreateFunction(name, m_handler),
                           V8_PROPERTY_ATTRIBUTE_READONLY);
    context->GetGlobal()->SetValue("external", external, V8_PROPERTY_ATTRIBUTE_READONLY);
}

void RecordingClient::defineFunction(const std::string& name, NativeFunction function)
{
    m_functions[name] = std::move(function);
}

void RecordingClient::defineRecorder(const std::string& name)
{
    defineFunction(name, [](const NativeCall&, CefString&) { return CefRefPtr<CefV8Value>(); });
}

std::vector<NativeCall> RecordingClient::callsOf(const std::string& name) const
{
    std::vector<NativeCall> result;
    for (const auto& call : calls)
        if (call.name == name)
            result.push_back(call);
    return result;
}

void RecordingClient::clearRecords()
{
    created.clear();
    closed.clear();
    loadEnds.clear();
    loadErrors.clear();
    titles.clear();
    console.clear();
    keys.clear();
    menus.clear();
    contexts.clear();
    downloadNames.clear();
    calls.clear();
}

} // namespace enginetest
