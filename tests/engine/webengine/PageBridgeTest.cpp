// Script contexts, native functions called synchronously from pages, and
// scripts run in frames.
#include "EngineWorld.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace enginetest {
namespace {

using testsupport::htmlPage;
using testsupport::HttpResponse;

HttpResponse page(const std::string& body, const std::string& head = {})
{
    HttpResponse response;
    response.body = htmlPage(body, head);
    return response;
}

CefRefPtr<CefV8Value> string(const std::string& text) { return CefV8Value::CreateString(text); }

TEST(PageBridge, SynchronousCallsGetNativeAnswers)
{
    RecordingClient& client = *world().client;
    client.defineFunction("GetInt", [](auto&, auto&) { return CefV8Value::CreateInt(42); });
    client.defineFunction("GetDouble", [](auto&, auto&) { return CefV8Value::CreateDouble(2.5); });
    client.defineFunction("GetBool", [](auto&, auto&) { return CefV8Value::CreateBool(true); });
    client.defineFunction("GetString",
                          [](auto&, auto&) { return string("h\xC3\xA9llo \xE2\x9C\x93 \"q\"\n"); });
    client.defineFunction("GetArray", [](auto&, auto&) {
        CefRefPtr<CefV8Value> inner = CefV8Value::CreateArray();
        inner->SetValue(0, CefV8Value::CreateInt(3));
        CefRefPtr<CefV8Value> array = CefV8Value::CreateArray();
        array->SetValue(0, CefV8Value::CreateInt(1));
        array->SetValue(1, string("two"));
        array->SetValue(2, CefV8Value::CreateBool(true));
        array->SetValue(3, inner);
        return array;
    });
    // An object carrying a native function, like an automation wrapper: the
    // same native object every time.
    CefRefPtr<CefV8Value> device = CefV8Value::CreateObject();
    device->SetValue("cefObjName", string("Device.One"), V8_PROPERTY_ATTRIBUTE_READONLY);
    device->SetValue("Beep", CefV8Value::CreateFunction("Beep", client.functionHandler()),
                     V8_PROPERTY_ATTRIBUTE_READONLY);
    client.defineFunction("GetDevice", [device](auto&, auto&) { return device; });
    client.defineFunction("Beep", [](const NativeCall& call, auto&) {
        return string("beep " + describe(call.arguments.at(0)) + " from "
                      + describe(call.receiver->GetValue("cefObjName")));
    });
    client.defineFunction("Fail", [](auto&, CefString& exception) {
        exception = "native failure";
        return CefRefPtr<CefV8Value>();
    });
    client.defineRecorder("Args");
    client.defineFunction("Echo", [](const NativeCall& call, auto&) { return call.arguments.at(0); });

    world().server->route("/calls", page(R"(<script>
function t(v) { return typeof v + ':' + JSON.stringify(v); }
var r = {};
r.int = t(external.GetInt());
r.double = t(external.GetDouble());
r.bool = t(external.GetBool());
r.string = t(external.GetString());
r.array = t(external.GetArray());
var dev = external.GetDevice();
r.same = dev === external.GetDevice();
r.beep = t(dev.Beep(3));
r.readonly = (function () { 'use strict'; try { dev.cefObjName = 'x'; return 'assigned'; } catch (e) { return 'refused'; } })();
try { external.Fail(); r.fail = 'no throw'; } catch (e) { r.fail = 'threw ' + e.message; }
r.missing = t(external.Args());
var big = 'y'.repeat(3000000) + '\u00e9';
r.big = external.Echo(big) === big;
external.Args(null, 3, undefined, 2.5, 'x', [1, 2.7], {a: 1, s: 'str'}, true, -7, 3000000000);
var bare = external.Args;
bare('bare');
external.Report('results', JSON.stringify(r));
</script>)"));
    ASSERT_TRUE(loadPage(world().server->url("/calls")));
    const auto results = waitForReport("results");
    ASSERT_TRUE(results);
    const QJsonObject r = QJsonDocument::fromJson(QByteArray::fromStdString(*results)).object();
    EXPECT_EQ(r["int"].toString(), "number:42");
    EXPECT_EQ(r["double"].toString(), "number:2.5");
    EXPECT_EQ(r["bool"].toString(), "boolean:true");
    EXPECT_EQ(r["string"].toString(), QString::fromUtf8("string:\"h\xC3\xA9llo \xE2\x9C\x93 \\\"q\\\"\\n\""));
    EXPECT_EQ(r["array"].toString(), "object:[1,\"two\",true,[3]]");
    EXPECT_TRUE(r["same"].toBool());
    EXPECT_EQ(r["beep"].toString(), "string:\"beep 3 from Device.One\"");
    EXPECT_EQ(r["readonly"].toString(), "refused");
    EXPECT_EQ(r["fail"].toString(), "threw native failure");
    EXPECT_EQ(r["missing"].toString(), "undefined:undefined");
    EXPECT_TRUE(r["big"].toBool());

    // The arguments arrive with their kinds.
    const auto args = client.callsOf("Args");
    ASSERT_EQ(args.size(), 3u);
    const CefV8ValueList& a = args[1].arguments;
    ASSERT_EQ(a.size(), 10u);
    EXPECT_TRUE(a[0]->IsNull());
    EXPECT_TRUE(a[1]->IsInt());
    EXPECT_EQ(a[1]->GetIntValue(), 3);
    EXPECT_TRUE(a[2]->IsUndefined());
    EXPECT_TRUE(a[3]->IsDouble() && !a[3]->IsInt());
    EXPECT_EQ(a[3]->GetDoubleValue(), 2.5);
    EXPECT_EQ(utf8(a[4]->GetStringValue()), "x");
    ASSERT_TRUE(a[5]->IsArray());
    EXPECT_EQ(a[5]->GetArrayLength(), 2);
    EXPECT_TRUE(a[5]->GetValue(0)->IsInt());
    EXPECT_FALSE(a[5]->GetValue(1)->IsInt());
    EXPECT_EQ(a[5]->GetValue(1)->GetDoubleValue(), 2.7);
    ASSERT_TRUE(a[6]->IsObject() && !a[6]->IsArray());
    EXPECT_EQ(a[6]->GetValue("a")->GetIntValue(), 1);
    EXPECT_EQ(utf8(a[6]->GetValue("s")->GetStringValue()), "str");
    EXPECT_TRUE(a[7]->IsBool() && a[7]->GetBoolValue());
    EXPECT_EQ(a[8]->GetIntValue(), -7);
    EXPECT_FALSE(a[9]->IsInt());  // beyond 32 bits
    EXPECT_EQ(a[9]->GetDoubleValue(), 3000000000.0);
    // The receiver of external.Args is the page's external object; a bare
    // call has the global object, which holds what native code set on it.
    EXPECT_TRUE(args[1].receiver->HasValue("Args"));
    EXPECT_TRUE(args[2].receiver->IsObject());
    EXPECT_TRUE(args[2].receiver->HasValue("external"));
}

TEST(PageBridge, NativeFunctionsWorkBeforeThePagesOwnScripts)
{
    world().server->route("/early", page("<p>body</p>",
                                         "<script>external.Report('inline-head', typeof dojopr);"
                                         "</script>"));
    const std::string url = world().server->url("/early");
    ASSERT_TRUE(loadPage(url));
    EXPECT_EQ(waitForReport("inline-head"), "function");
    // The extension ran first, in the same context, and could call native code.
    const auto calls = world().client->callsOf("Report");
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(describe(calls[0].arguments[0]), "extension");
    EXPECT_EQ(describe(calls[0].arguments[1]), url);
    EXPECT_EQ(describe(calls[1].arguments[0]), "inline-head");
    // One context, for the main frame, created before any of that.
    ASSERT_EQ(world().client->contexts.size(), 1u);
    EXPECT_TRUE(world().client->contexts[0].isMain);
    EXPECT_EQ(world().client->contexts[0].url, url);
}

TEST(PageBridge, EveryFrameGetsItsContextAndLoadEnd)
{
    testsupport::HttpServer& server = *world().server;
    server.route("/framed", page(R"(<h1>frames</h1>
<iframe src="/frame?tag=same"></iframe>
<iframe src=")" + server.url("/frame?tag=cross", "localhost") + R"("></iframe>
<iframe sandbox="allow-scripts" src="/frame?tag=sandboxed"></iframe>)"));
    server.route("/frame", [](const testsupport::HttpRequest& request) {
        HttpResponse response;
        response.body = htmlPage(
            "<script>external.Report('frame ' + location.search.slice(5), location.href);</script>");
        return response;
    });
    // As the client does: run dojopr in every frame that finished with 200.
    world().client->afterLoadEnd = [](CefRefPtr<CefFrame> frame, int status) {
        if (status == 200)
            frame->ExecuteJavaScript("dojopr();", "", 0);
    };
    const std::string sameUrl = server.url("/frame?tag=same");
    const std::string crossUrl = server.url("/frame?tag=cross", "localhost");
    const std::string sandboxedUrl = server.url("/frame?tag=sandboxed");
    ASSERT_TRUE(loadPage(server.url("/framed")));
    ASSERT_TRUE(testsupport::waitUntil([] { return reportsOf("dojopr").size() >= 4; }, kPageTimeout));
    world().client->afterLoadEnd = nullptr;

    // Each frame called native code from its own context.
    EXPECT_EQ(reportsOf("frame same"), std::vector<std::string>{sameUrl});
    EXPECT_EQ(reportsOf("frame cross"), std::vector<std::string>{crossUrl});
    EXPECT_EQ(reportsOf("frame sandboxed"), std::vector<std::string>{sandboxedUrl});
    std::map<std::string, bool> contexts;
    for (const auto& created : world().client->contexts)
        contexts[created.url] = created.isMain;
    EXPECT_EQ(contexts, (std::map<std::string, bool>{{server.url("/framed"), true},
                                                     {sameUrl, false},
                                                     {crossUrl, false},
                                                     {sandboxedUrl, false}}));
    // Every frame reported its load end with 200, and dojopr ran in each.
    std::map<std::string, int> ends;
    for (const auto& end : world().client->loadEnds)
        ends[end.url] = end.status;
    EXPECT_EQ(ends, (std::map<std::string, int>{{server.url("/framed"), 200},
                                                {sameUrl, 200},
                                                {crossUrl, 200},
                                                {sandboxedUrl, 200}}));
    auto dojopr = reportsOf("dojopr");
    std::sort(dojopr.begin(), dojopr.end());
    std::vector<std::string> expected{server.url("/framed"), sameUrl, crossUrl, sandboxedUrl};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dojopr, expected);

    for (const auto& message : world().client->console)
        ADD_FAILURE() << "console: " << message.message;

    // A script for an iframe outside any call of its page still arrives.
    CefRefPtr<CefFrame> cross;
    for (const auto& created : world().client->contexts)
        if (created.url == crossUrl)
            cross = created.frame;
    ASSERT_TRUE(cross);
    EXPECT_FALSE(cross->IsMain());
    EXPECT_EQ(utf8(cross->GetURL()), crossUrl);
    cross->ExecuteJavaScript("external.Report('later', location.href)", "", 0);
    EXPECT_EQ(waitForReport("later"), crossUrl);
}

} // namespace
} // namespace enginetest
