#include "engine/qt/ScriptBridge.h"

#include "engine/core/V8ContextImpl.h"
#include "engine/core/V8ValueImpl.h"
#include "engine/qt/BridgeScript.h"
#include "engine/qt/Browser.h"
#include "engine/qt/Engine.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>
#include <limits>
#include <unordered_set>

namespace engine {

namespace {

// Values nested deeper than this cross as empty arrays and objects.
constexpr int kMaxDepth = 64;

QString qstr(const CefString& text) { return QString::fromStdU16String(text.ToString16()); }
CefString cefString(const QString& text) { return CefString(text.toStdU16String()); }

// A JavaScript literal for a text.
QString jsonString(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QJsonObject tagged(const char* tag) { return QJsonObject{{QStringLiteral("#"), QString::fromLatin1(tag)}}; }

} // namespace

// The script context of one document, with the native objects it has been
// given: the page refers to them by id.
struct ScriptBridge::Context {
    int id = 0;
    CefRefPtr<FrameImpl> frame;
    CefRefPtr<V8ContextImpl> context;
    std::unordered_map<std::int64_t, CefRefPtr<CefV8Value>> byId;
    std::unordered_map<CefV8Value*, std::int64_t> idOf;
    std::int64_t lastId = 0;

    std::int64_t idFor(const CefRefPtr<CefV8Value>& value)
    {
        const auto found = idOf.find(value.get());
        if (found != idOf.end())
            return found->second;
        const std::int64_t id = ++lastId;
        byId[id] = value;
        idOf[value.get()] = id;
        return id;
    }

    CefRefPtr<CefV8Value> objectWithId(const QJsonValue& id) const
    {
        const auto found = byId.find(id.toInteger(-1));
        return found != byId.end() ? found->second : nullptr;
    }

    // A native value for the page: objects and functions by id, with an
    // object's properties the first time it appears in one answer.
    QJsonValue toJson(const CefRefPtr<CefV8Value>& value, std::unordered_set<CefV8Value*>& sent,
                      int depth)
    {
        using Kind = V8ValueImpl::Kind;
        V8ValueImpl* v = V8ValueImpl::from(value);
        if (!v)
            return tagged("u");
        switch (v->kind()) {
        case Kind::Undefined: return tagged("u");
        case Kind::Null: return QJsonValue(QJsonValue::Null);
        case Kind::Bool: return v->GetBoolValue();
        case Kind::Int: return v->GetIntValue();
        case Kind::Double: {
            const double number = v->GetDoubleValue();
            if (std::isfinite(number))
                return number;
            QJsonObject special = tagged("n");
            special["v"] = std::isnan(number) ? "NaN" : number > 0 ? "Infinity" : "-Infinity";
            return special;
        }
        case Kind::String: return qstr(v->GetStringValue());
        case Kind::Array: {
            QJsonArray array;
            if (depth < kMaxDepth)
                for (const auto& element : v->elements())
                    array.append(element ? toJson(element, sent, depth + 1) : tagged("u"));
            return array;
        }
        case Kind::Function: {
            QJsonObject function = tagged("f");
            function["i"] = qint64(idFor(value));
            function["n"] = qstr(v->GetFunctionName());
            return function;
        }
        case Kind::Object: {
            QJsonObject object = tagged("o");
            object["i"] = qint64(idFor(value));
            if (sent.insert(v).second && depth < kMaxDepth) {
                QJsonArray properties;
                for (const auto& property : v->properties())
                    properties.append(QJsonArray{QString::fromStdU16String(property.name),
                                                 int(property.attribute),
                                                 toJson(property.value, sent, depth + 1)});
                object["p"] = properties;
            }
            return object;
        }
        }
        return tagged("u");
    }

    // A value from the page.
    CefRefPtr<CefV8Value> fromJson(const QJsonValue& json, int depth) const
    {
        switch (json.type()) {
        case QJsonValue::Null: return CefV8Value::CreateNull();
        case QJsonValue::Bool: return CefV8Value::CreateBool(json.toBool());
        case QJsonValue::Double: return numberValue(json.toDouble());
        case QJsonValue::String: return CefV8Value::CreateString(cefString(json.toString()));
        case QJsonValue::Array: {
            CefRefPtr<CefV8Value> array = CefV8Value::CreateArray();
            const QJsonArray elements = json.toArray();
            for (qsizetype i = 0; i < elements.size() && depth < kMaxDepth; ++i)
                array->SetValue(int(i), fromJson(elements[i], depth + 1));
            return array;
        }
        case QJsonValue::Object: return taggedFromJson(json.toObject(), depth);
        default: return CefV8Value::CreateUndefined();
        }
    }

    CefRefPtr<CefV8Value> taggedFromJson(const QJsonObject& json, int depth) const
    {
        const QString tag = json["#"].toString();
        if (tag == "n") {
            const QString text = json["v"].toString();
            return CefV8Value::CreateDouble(
                text == "Infinity"    ? std::numeric_limits<double>::infinity()
                : text == "-Infinity" ? -std::numeric_limits<double>::infinity()
                                      : std::numeric_limits<double>::quiet_NaN());
        }
        if (tag != "o" && tag != "f")
            return CefV8Value::CreateUndefined();
        if (json.contains("i"))
            if (CefRefPtr<CefV8Value> known = objectWithId(json["i"]))
                return known;
        if (tag == "f")
            return CefV8Value::CreateFunction(CefString(), nullptr);  // a page function
        CefRefPtr<CefV8Value> object = CefV8Value::CreateObject();
        for (const QJsonValue& entry : json["p"].toArray()) {
            const QJsonArray property = entry.toArray();
            if (depth < kMaxDepth)
                object->SetValue(cefString(property[0].toString()),
                                 fromJson(property[2], depth + 1),
                                 cef_v8_propertyattribute_t(property[1].toInt()));
        }
        return object;
    }
};

// ---- FrameImpl -------------------------------------------------------------

FrameImpl::FrameImpl(BrowserImpl* browser, std::int64_t identifier, QList<int> path)
    : m_browser(browser), m_identifier(identifier), m_path(std::move(path))
{
}

CefString FrameImpl::GetURL()
{
    if (IsMain() && m_browser)
        return cefString(m_browser->mainFrameUrl());
    return cefString(m_url);
}

CefRefPtr<CefBrowser> FrameImpl::GetBrowser() { return m_browser; }

void FrameImpl::LoadURL(const CefString& url)
{
    if (!m_browser)
        return;
    if (IsMain())
        m_browser->loadUrl(qstr(url));
    else
        ExecuteJavaScript(cefString("location.href = " + jsonString(qstr(url))), CefString(), 0);
}

void FrameImpl::ExecuteJavaScript(const CefString& code, const CefString& scriptUrl, int)
{
    if (!m_browser)
        return;
    if (IsMain()) {
        m_browser->runInMainFrame(qstr(code), qstr(scriptUrl));
        return;
    }
    QString source = qstr(code);
    if (!scriptUrl.empty())
        source += "\n//# sourceURL=" + qstr(scriptUrl);
    if (m_requestDepth > 0)
        m_scriptsForAnswer.append(source);
    else
        m_browser->runInPrivateWorld(
            postScriptToFrameSource(Engine::instance()->bridgeKey(), m_path, source));
}

QStringList FrameImpl::endRequest()
{
    if (--m_requestDepth > 0)
        return {};
    return std::exchange(m_scriptsForAnswer, {});
}

// ---- ScriptBridge ----------------------------------------------------------

ScriptBridge::ScriptBridge(BrowserImpl& browser)
    : m_browser(browser), m_mainFrame(new FrameImpl(&browser, 0, {}))
{
}

ScriptBridge::~ScriptBridge() { clear(); }

QString ScriptBridge::answer(const QJsonObject& request)
{
    const QString op = request["op"].toString();
    QJsonObject reply;
    if (op == "ctx")
        reply = createContext(request);
    else if (op == "call")
        reply = callFunction(request);
    else if (op == "load")
        reply = frameLoaded(request);
    else
        return {};
    return QString::fromUtf8(QJsonDocument(reply).toJson(QJsonDocument::Compact));
}

QJsonObject ScriptBridge::createContext(const QJsonObject& request)
{
    QList<int> path;
    for (const QJsonValue& index : request["path"].toArray())
        path.append(index.toInt());
    CefRefPtr<FrameImpl> frame = frameAt(path);
    frame->setUrl(request["url"].toString());
    // A new document replaces the frame's old one and every frame inside it.
    dropContextsOf(frame.get());
    dropFramesBelow(path);

    auto context = std::make_shared<Context>();
    context->id = ++m_nextContextId;
    context->frame = frame;
    context->context = new V8ContextImpl(&m_browser, frame.get());
    m_contexts[context->id] = context;

    frame->beginRequest();
    if (CefRefPtr<CefV8ContextHandler> handler = m_browser.client()->GetV8ContextHandler())
        handler->OnContextCreated(&m_browser, frame.get(), context->context.get());
    const QStringList scripts = frame->endRequest();

    QJsonObject reply;
    reply["c"] = context->id;
    std::unordered_set<CefV8Value*> sent;
    reply["g"] = context->toJson(context->context->GetGlobal(), sent, 0);
    if (!scripts.isEmpty())
        reply["x"] = QJsonArray::fromStringList(scripts);
    return reply;
}

QJsonObject ScriptBridge::callFunction(const QJsonObject& request)
{
    const auto found = m_contexts.find(request["c"].toInt());
    if (found == m_contexts.end())
        return {{"v", tagged("u")}};
    // Held for the call: the client may cause the context to be dropped.
    std::shared_ptr<Context> context = found->second;
    CefRefPtr<CefV8Value> function = context->objectWithId(request["f"]);
    CefRefPtr<CefV8Handler> handler = function ? function->GetFunctionHandler() : nullptr;
    if (!handler)
        return {{"v", tagged("u")}};

    CefRefPtr<CefV8Value> receiver = context->fromJson(request["t"], 0);
    CefV8ValueList arguments;
    for (const QJsonValue& argument : request["a"].toArray())
        arguments.push_back(context->fromJson(argument, 0));

    CefRefPtr<CefV8Value> retval;
    CefString exception;
    context->frame->beginRequest();
    const bool handled =
        handler->Execute(function->GetFunctionName(), receiver, arguments, retval, exception);
    const QStringList scripts = context->frame->endRequest();

    QJsonObject reply;
    if (!exception.empty()) {
        reply["e"] = qstr(exception);
    } else {
        std::unordered_set<CefV8Value*> sent;
        reply["v"] = handled && retval ? context->toJson(retval, sent, 0) : tagged("u");
    }
    if (!scripts.isEmpty())
        reply["x"] = QJsonArray::fromStringList(scripts);
    return reply;
}

QJsonObject ScriptBridge::frameLoaded(const QJsonObject& request)
{
    const auto found = m_contexts.find(request["c"].toInt());
    if (found == m_contexts.end())
        return {};
    std::shared_ptr<Context> context = found->second;
    CefRefPtr<FrameImpl> frame = context->frame;
    frame->setUrl(request["url"].toString());
    frame->beginRequest();
    if (CefRefPtr<CefLoadHandler> handler = m_browser.client()->GetLoadHandler())
        handler->OnLoadEnd(&m_browser, frame.get(), 200);
    const QStringList scripts = frame->endRequest();
    QJsonObject reply;
    if (!scripts.isEmpty())
        reply["x"] = QJsonArray::fromStringList(scripts);
    return reply;
}

CefRefPtr<FrameImpl> ScriptBridge::frameAt(const QList<int>& path)
{
    if (path.isEmpty())
        return m_mainFrame;
    CefRefPtr<FrameImpl>& frame = m_subFrames[path];
    if (!frame)
        frame = new FrameImpl(&m_browser, ++m_nextFrameId, path);
    return frame;
}

void ScriptBridge::dropContextsOf(FrameImpl* frame)
{
    std::erase_if(m_contexts, [frame](const auto& entry) {
        const QList<int>& path = entry.second->frame->path();
        return path.size() >= frame->path().size()
               && path.mid(0, frame->path().size()) == frame->path();
    });
}

void ScriptBridge::dropFramesBelow(const QList<int>& path)
{
    std::erase_if(m_subFrames, [&path](auto& entry) {
        const bool below = entry.first.size() > path.size()
                           && entry.first.mid(0, path.size()) == path;
        if (below)
            entry.second->detach();
        return below;
    });
}

void ScriptBridge::clear()
{
    m_contexts.clear();
    m_mainFrame->detach();
    for (auto& [path, frame] : m_subFrames)
        frame->detach();
    m_subFrames.clear();
}

QString answerBridgeRequest(BrowserImpl* browser, const QString& requestText)
{
    Engine* engine = Engine::instance();
    if (!engine)
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(requestText.toUtf8());
    const QJsonObject request = document.object();
    if (request["k"].toString() != engine->bridgeKey())
        return {};
    const int browserId = request["b"].toInt();
    CefRefPtr<BrowserImpl> target = browser ? browser : engine->browserById(browserId);
    if (!target || target->isClosed() || target->id() != browserId)
        return {};
    return target->bridge().answer(request);
}

} // namespace engine
