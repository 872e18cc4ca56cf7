#pragma once
// A client for engine tests: records every event the engine reports and
// gives pages an `external` object whose functions the test defines.

#include "engine/cef/Cef.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace enginetest {

std::string utf8(const CefString& text);

struct LoadEnd {
    CefRefPtr<CefFrame> frame;
    bool isMain = false;
    std::string url;
    int status = 0;
};

struct LoadError {
    int code = 0;
    std::string url;
};

struct KeyEvent {
    int type = 0;
    int code = 0;
    int modifiers = 0;
    bool isSystemKey = false;
    bool afterJavaScript = false;
};

struct ConsoleMessage {
    std::string message;
    std::string source;
    int line = 0;
};

struct ContextCreated {
    CefRefPtr<CefBrowser> browser;
    CefRefPtr<CefFrame> frame;
    CefRefPtr<CefV8Context> context;
    bool isMain = false;
    std::string url;
};

struct NativeCall {
    std::string name;
    CefRefPtr<CefV8Value> receiver;
    CefV8ValueList arguments;
};

// Receives a download's bytes; the test reads what arrived.
class RecordingDownload : public CefDownloadHandler {
public:
    struct Record {
        std::string bytes;
        int pieces = 0;
        bool completed = false;
        bool released = false;
    };
    explicit RecordingDownload(std::shared_ptr<Record> record, long long cancelAfter = -1)
        : m_record(std::move(record)), m_cancelAfter(cancelAfter)
    {
    }
    ~RecordingDownload() override { m_record->released = true; }

    bool ReceivedData(void* data, int size) override
    {
        m_record->bytes.append(static_cast<const char*>(data), std::size_t(size));
        ++m_record->pieces;
        return m_cancelAfter < 0 || (long long)m_record->bytes.size() < m_cancelAfter;
    }
    void Complete() override { m_record->completed = true; }

private:
    std::shared_ptr<Record> m_record;
    long long m_cancelAfter;
    IMPLEMENT_REFCOUNTING(RecordingDownload);
};

using NativeFunction =
    std::function<CefRefPtr<CefV8Value>(const NativeCall& call, CefString& exception)>;

class RecordingClient : public CefClient,
                        public CefLifeSpanHandler,
                        public CefLoadHandler,
                        public CefRequestHandler,
                        public CefDisplayHandler,
                        public CefKeyboardHandler,
                        public CefMenuHandler,
                        public CefV8ContextHandler {
public:
    RecordingClient();

    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
    CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
    CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() override { return this; }
    CefRefPtr<CefMenuHandler> GetMenuHandler() override { return this; }
    CefRefPtr<CefV8ContextHandler> GetV8ContextHandler() override { return this; }

    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;
    void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int status) override;
    bool OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int errorCode,
                     const CefString& failedUrl, CefString& errorText) override;
    bool GetDownloadHandler(CefRefPtr<CefBrowser> browser, const CefString& mimeType,
                            const CefString& fileName, std::int64_t contentLength,
                            CefRefPtr<CefDownloadHandler>& handler) override;
    void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) override;
    bool OnConsoleMessage(CefRefPtr<CefBrowser> browser, const CefString& message,
                          const CefString& source, int line) override;
    bool OnKeyEvent(CefRefPtr<CefBrowser> browser, cef_handler_keyevent_type_t type, int code,
                    int modifiers, bool isSystemKey, bool isAfterJavaScript) override;
    bool OnBeforeMenu(CefRefPtr<CefBrowser> browser, const CefMenuInfo& menuInfo) override;
    void OnContextCreated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                          CefRefPtr<CefV8Context> context) override;

    // `external.<name>(...)` in every context calls `function`.
    void defineFunction(const std::string& name, NativeFunction function);
    // Records the calls of a function that returns nothing.
    void defineRecorder(const std::string& name);
    // The handler of every `external` function, for functions the test makes.
    CefRefPtr<CefV8Handler> functionHandler() const { return m_handler; }
    // Calls of native functions, in order.
    std::vector<NativeCall> callsOf(const std::string& name) const;

    // Forgets everything recorded (not the behaviour).
    void clearRecords();

    // Behaviour.
    std::string errorPage;  // OnLoadError's page; empty: the engine's own
    bool cancelMenus = true;
    // Runs when a browser was created.
    std::function<void(CefRefPtr<CefBrowser> browser)> onCreated;
    // Runs after each recorded load end (e.g. to run a script in the frame).
    std::function<void(CefRefPtr<CefFrame> frame, int status)> afterLoadEnd;
    std::function<CefRefPtr<CefDownloadHandler>(const std::string& fileName)> downloads;

    // Records.
    std::vector<CefRefPtr<CefBrowser>> created;
    std::vector<CefRefPtr<CefBrowser>> closed;
    std::vector<LoadEnd> loadEnds;
    std::vector<LoadError> loadErrors;
    std::vector<std::string> titles;
    std::vector<ConsoleMessage> console;
    std::vector<KeyEvent> keys;
    std::vector<CefMenuInfo> menus;
    std::vector<ContextCreated> contexts;
    std::vector<std::string> downloadNames;
    std::vector<NativeCall> calls;

private:
    class Functions;
    std::map<std::string, NativeFunction> m_functions;
    CefRefPtr<CefV8Handler> m_handler;

    IMPLEMENT_REFCOUNTING(RecordingClient);
};

} // namespace enginetest
