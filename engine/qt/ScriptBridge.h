#pragma once
// Native side of the page bridge for one browser: its frames, the script
// contexts of their documents, and the answers to the bridge script's
// requests (see BridgeScript.h).

#include "engine/cef/CefBrowser.h"
#include "engine/cef/CefV8.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <unordered_map>

namespace engine {

class BrowserImpl;
class V8ContextImpl;

class FrameImpl : public CefFrame {
public:
    FrameImpl(BrowserImpl* browser, std::int64_t identifier, QList<int> path);

    bool IsMain() override { return m_path.isEmpty(); }
    std::int64_t GetIdentifier() override { return m_identifier; }
    CefString GetURL() override;
    CefRefPtr<CefBrowser> GetBrowser() override;
    void LoadURL(const CefString& url) override;
    void ExecuteJavaScript(const CefString& code, const CefString& scriptUrl,
                           int startLine) override;

    const QList<int>& path() const { return m_path; }
    void setUrl(const QString& url) { m_url = url; }
    // The frame no longer exists (its browser closed, or its page was
    // replaced): its operations do nothing from now on.
    void detach() { m_browser = nullptr; }

    // While the frame's page waits in a bridge request, scripts given to
    // ExecuteJavaScript travel back in the answer.
    void beginRequest() { ++m_requestDepth; }
    QStringList endRequest();

private:
    BrowserImpl* m_browser;
    std::int64_t m_identifier;
    QList<int> m_path;
    QString m_url;
    int m_requestDepth = 0;
    QStringList m_scriptsForAnswer;

    IMPLEMENT_REFCOUNTING(FrameImpl);
};

class ScriptBridge {
public:
    explicit ScriptBridge(BrowserImpl& browser);
    ~ScriptBridge();

    CefRefPtr<FrameImpl> mainFrame() const { return m_mainFrame; }

    // The answer to a request of the bridge script (JSON); empty when the
    // request is not valid.
    QString answer(const QJsonObject& request);

    // The browser closed: every frame and context goes.
    void clear();

private:
    struct Context;

    QJsonObject createContext(const QJsonObject& request);
    QJsonObject callFunction(const QJsonObject& request);
    QJsonObject frameLoaded(const QJsonObject& request);

    CefRefPtr<FrameImpl> frameAt(const QList<int>& path);
    // Drops the contexts of the frame and of every frame inside it.
    void dropContextsOf(FrameImpl* frame);
    // Drops the frames inside the frame at `path`.
    void dropFramesBelow(const QList<int>& path);

    BrowserImpl& m_browser;
    CefRefPtr<FrameImpl> m_mainFrame;
    std::map<QList<int>, CefRefPtr<FrameImpl>> m_subFrames;
    std::unordered_map<int, std::shared_ptr<Context>> m_contexts;
    int m_nextContextId = 0;
    std::int64_t m_nextFrameId = 0;
};

// The answer to the text of a bridge request. `browser` is the browser whose
// page asked (through prompt); without one (the bridge scheme) the request's
// browser id names it. Empty when the request is not the layer's own.
QString answerBridgeRequest(BrowserImpl* browser, const QString& requestText);

} // namespace engine
