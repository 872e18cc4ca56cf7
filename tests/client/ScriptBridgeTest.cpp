// `external` over the fake engine: the object in every context, the dispatch
// of calls with their value conversions, and the page functions.
#include "ClientHarness.h"

#include "client/script/CefJSHandl.h"
#include "client/script/ScriptCall.h"
#include "client/script/ScriptValueConversion.h"
#include "shared/WindowTitles.h"

using engine::fake::CallMethod;

namespace {

CefRefPtr<CefV8Value> Int(int value) { return CefV8Value::CreateInt(value); }
CefRefPtr<CefV8Value> Double(double value) { return CefV8Value::CreateDouble(value); }
CefRefPtr<CefV8Value> Text(const char* value) { return CefV8Value::CreateString(CefString(value)); }
CefRefPtr<CefV8Value> Bool(bool value) { return CefV8Value::CreateBool(value); }

CefRefPtr<CefV8Value> Array(std::initializer_list<CefRefPtr<CefV8Value>> elements)
{
    CefRefPtr<CefV8Value> array = CefV8Value::CreateArray();
    int index = 0;
    for (const auto& element : elements)
        array->SetValue(index++, element);
    return array;
}

// The elements of a converted array, dimension 1 varying fastest, as text.
std::vector<std::string> elementsOf(const com::VARIANT& value)
{
    std::vector<std::string> texts;
    if (!(value.vt & com::VT_ARRAY))
        return texts;
    void* data = nullptr;
    com::SafeArrayAccessData(value.parray, &data);
    for (com::ULONG i = 0; i < com::SafeArrayElementCount(value.parray); ++i) {
        switch (value.vt & com::VT_TYPEMASK) {
        case com::VT_I4: texts.push_back(std::to_string(static_cast<com::LONG*>(data)[i])); break;
        case com::VT_R8: texts.push_back(std::to_string(static_cast<double*>(data)[i])); break;
        case com::VT_BOOL: texts.push_back(std::to_string(static_cast<com::VARIANT_BOOL*>(data)[i])); break;
        case com::VT_BSTR:
            texts.push_back(CefString(com::BstrView(static_cast<com::BSTR*>(data)[i])).ToString());
            break;
        }
    }
    com::SafeArrayUnaccessData(value.parray);
    return texts;
}

std::vector<com::ULONG> dimensionsOf(const com::VARIANT& value)
{
    std::vector<com::ULONG> sizes;
    if (value.vt & com::VT_ARRAY) {
        for (const auto& bound : value.parray->rgsabound)
            sizes.push_back(bound.cElements);
    }
    return sizes;
}

} // namespace

TEST(ScriptValues, ConvertByTheFirstMatchingRule)
{
    std::vector<com::SAFEARRAY*> arrays;
    EXPECT_EQ(ScriptToVariant(Int(-7), arrays).lVal, -7);
    EXPECT_EQ(ScriptToVariant(Int(-7), arrays).vt, com::VT_I4);
    EXPECT_EQ(ScriptToVariant(Double(2.5), arrays).vt, com::VT_R8);
    EXPECT_EQ(ScriptToVariant(Double(2.5), arrays).dblVal, 2.5);
    EXPECT_EQ(ScriptToVariant(Bool(true), arrays).boolVal, 1);
    EXPECT_EQ(ScriptToVariant(Bool(false), arrays).boolVal, 0);
    EXPECT_EQ(ScriptToVariant(Bool(false), arrays).vt, com::VT_BOOL);
    const com::VARIANT text = ScriptToVariant(Text("站点"), arrays);
    EXPECT_EQ(text.vt, com::VT_BSTR);
    EXPECT_EQ(com::BstrView(text.bstrVal), u"站点");
    for (auto empty : {CefV8Value::CreateUndefined(), CefV8Value::CreateNull(), CefV8Value::CreateObject(),
                       Array({}), Array({CefV8Value::CreateNull()})})
        EXPECT_EQ(ScriptToVariant(empty, arrays).vt, com::VT_EMPTY);
    EXPECT_TRUE(arrays.empty());
}

TEST(ScriptValues, ArraysTakeTheirTypeAndShapeFromTheFirstElement)
{
    struct Case {
        CefRefPtr<CefV8Value> array;
        com::VARTYPE type;
        std::vector<com::ULONG> dimensions;
        std::vector<std::string> elements;  // dimension 1 fastest
    };
    const Case cases[] = {
        {Array({Int(1), Double(2.7)}), com::VT_I4, {2}, {"1", "2"}},
        {Array({Double(0.5), Int(3)}), com::VT_R8, {2}, {"0.500000", "3.000000"}},
        {Array({Text("a"), Text("b")}), com::VT_BSTR, {2}, {"a", "b"}},
        {Array({Bool(true), Bool(false)}), com::VT_BOOL, {2}, {"1", "0"}},
        {Array({Array({Int(1), Int(2)}), Array({Int(3), Int(4), Int(5)})}), com::VT_I4, {2, 2}, {"1", "3", "2", "4"}},
        {Array({Array({Text("x"), Text("y"), Text("z")}), Array({Text("u")})}), com::VT_BSTR, {2, 3},
         {"x", "u", "y", "", "z", ""}},
        {Array({Array({Bool(true)}), Array({Bool(true)})}), com::VT_BOOL, {2, 1}, {"0", "0"}},
    };
    for (const Case& c : cases) {
        std::vector<com::SAFEARRAY*> arrays;
        const com::VARIANT value = ScriptToVariant(c.array, arrays);
        EXPECT_EQ(value.vt, com::VT_ARRAY | c.type);
        EXPECT_EQ(dimensionsOf(value), c.dimensions);
        EXPECT_EQ(elementsOf(value), c.elements);
        ASSERT_EQ(arrays.size(), 1u);
        EXPECT_NE(arrays[0], value.parray);  // the call's own array, destroyed at its end
        for (auto* array : arrays)
            com::SafeArrayDestroy(array);
    }
}

TEST(ScriptValues, ResultsReachThePageAsNumbersTextsAndBooleans)
{
    EXPECT_EQ(VariantToScript(com::VARIANT::fromI4(5))->GetIntValue(), 5);
    EXPECT_EQ(VariantToScript(com::VARIANT::fromR8(0.25))->GetDoubleValue(), 0.25);
    EXPECT_EQ(VariantToScript(com::VARIANT::fromString(u"好"))->GetStringValue().ToString16(), u"好");
    EXPECT_TRUE(VariantToScript(com::VARIANT::fromBool(1))->GetBoolValue());
    EXPECT_TRUE(VariantToScript(com::VARIANT::fromBool(com::VARIANT_TRUE))->GetBoolValue());
    EXPECT_FALSE(VariantToScript(com::VARIANT::fromBool(0))->GetBoolValue());
    EXPECT_EQ(VariantToScript(com::VARIANT()), nullptr);
    EXPECT_EQ(VariantToScript(com::VARIANT::fromArray(com::SafeArrayCreateVector(com::VT_I4, 0, 1))), nullptr);
}

TEST(ScriptValues, ThePageFunctionLogLineListsTheArguments)
{
    ScriptCallInfo call;
    call.name = CefString("PlaySound");
    call.args.push_back(com::VARIANT::fromI4(-3));
    call.args.push_back(com::VARIANT::fromR8(2.5));
    call.args.push_back(com::VARIANT::fromString(u"文字"));
    call.args.push_back(com::VARIANT::fromBool(1));
    EXPECT_EQ(ScriptCallLogText(call).ToString(),
              "JSCallFunction \r\nFunctionName:PlaySound Argu:-3 2.500000 文字  \r\n");
    call.Clear();
    EXPECT_TRUE(call.args.empty());
}

class ScriptBridge : public ClientHarness {
protected:
    void SetUp() override
    {
        browser = waitForBrowser();
        ASSERT_TRUE(browser);
        context = browser->CreateContext();
        external = context->GetGlobal()->GetValue(CefString("external"));
        ASSERT_TRUE(external && external->IsObject());
    }

    engine::fake::CallResult call(const char* function, const CefV8ValueList& arguments = {})
    {
        return CallMethod(external, CefString(function), arguments);
    }

    CefRefPtr<FakeBrowser> browser;
    CefRefPtr<CefV8Context> context;
    CefRefPtr<CefV8Value> external;
};

TEST_F(ScriptBridge, EveryContextGetsItsOwnExternalServedByOneHandler)
{
    std::vector<CefString> keys;
    external->GetKeys(keys);
    std::vector<std::string> names;
    for (const auto& key : keys)
        names.push_back(key.ToString());
    EXPECT_EQ(names, (std::vector<std::string>{"GetBindShopResponse", "SendUserInfo", "ContactService", "Logout",
                                               "PlaySound", "CreateCOMObj", "GetExcelObj"}));

    auto second = browser->CreateContext(browser->AddSubFrame(CefString("http://127.0.0.1:1/f")).get());
    auto otherExternal = second->GetGlobal()->GetValue(CefString("external"));
    ASSERT_TRUE(otherExternal);
    EXPECT_FALSE(otherExternal->IsSame(external));
    EXPECT_EQ(otherExternal->GetValue(CefString("Logout"))->GetFunctionHandler().get(),
              external->GetValue(CefString("Logout"))->GetFunctionHandler().get());
    auto popup = browser->OpenPopup(CefString("http://127.0.0.1:1/p"));
    auto popupExternal = popup->CreateContext()->GetGlobal()->GetValue(CefString("external"));
    EXPECT_EQ(popupExternal->GetValue(CefString("PlaySound"))->GetFunctionHandler().get(),
              external->GetValue(CefString("PlaySound"))->GetFunctionHandler().get());
}

TEST_F(ScriptBridge, PlaySoundStoresTheLowByteAndAnswersItSigned)
{
    EXPECT_EQ(host->ReadSoundSwitch(), 1);  // every start switches the sound on
    struct Case {
        CefV8ValueList arguments;
        std::optional<int> answer;
        int stored;
    };
    const Case cases[] = {
        {{Int(300)}, 44, 44},
        {{Int(255)}, -1, -1},
        {{CefV8Value::CreateNull(), Int(3)}, 3, 3},  // null is dropped, 3 moves up
        {{Text("1")}, std::nullopt, 3},
        {{Double(2.5)}, std::nullopt, 3},
        {{}, std::nullopt, 3},
        {{Int(0)}, 0, 0},
    };
    for (const Case& c : cases) {
        auto result = call("PlaySound", c.arguments);
        EXPECT_TRUE(result.handled);
        if (c.answer) {
            ASSERT_TRUE(result.retval);
            EXPECT_EQ(result.retval->GetIntValue(), *c.answer);
        } else {
            EXPECT_EQ(result.retval, nullptr);
        }
        EXPECT_EQ(host->ReadSoundSwitch(), c.stored);
    }
}

TEST_F(ScriptBridge, LogoutAndSendUserInfoSetTheClientState)
{
    EXPECT_EQ(call("Logout", {Text("ignored")}).retval, nullptr);
    EXPECT_EQ(clientState(), tolvan::kClientStateLoggedOut);
    // Without a text the tray tool is left alone, but the state is set.
    EXPECT_EQ(call("SendUserInfo").retval, nullptr);
    EXPECT_EQ(clientState(), tolvan::kClientStateUserInfoSent);
}

TEST_F(ScriptBridge, UnknownFunctionsBadReceiversAndAutomationCallsGiveNothing)
{
    auto handler = external->GetValue(CefString("Logout"))->GetFunctionHandler();
    auto unknown = CefV8Value::CreateFunction(CefString("NoSuchFunction"), handler);
    setClientState(0);
    auto result = engine::fake::CallFunction(unknown, external, {Int(1)});
    EXPECT_TRUE(result.handled);
    EXPECT_EQ(result.retval, nullptr);
    EXPECT_TRUE(result.exception.empty());

    // A bare call has no object to call on.
    result = engine::fake::CallFunction(external->GetValue(CefString("Logout")), nullptr, {});
    EXPECT_EQ(clientState(), 0);

    EXPECT_EQ(call("CreateCOMObj", {Text("Excel.Application")}).retval, nullptr);
    EXPECT_EQ(call("GetExcelObj").retval, nullptr);

    // An object that names an automation object gets null from its methods.
    auto wrapper = CefV8Value::CreateObject();
    wrapper->SetValue(CefString("cefObjName"), Text("Excel.Application"));
    result = engine::fake::CallFunction(CefV8Value::CreateFunction(CefString("Quit"), handler), wrapper, {});
    ASSERT_TRUE(result.retval);
    EXPECT_TRUE(result.retval->IsNull());
    EXPECT_EQ(clientState(), 0);
}

TEST_F(ScriptBridge, GetBindShopResponseAnswersTheShopManagerAndClosesItsCompanyWindow)
{
    host->m_nReplyCode = 5;
    std::vector<std::pair<platform::WPARAM, std::string>> answers;
    auto manager = platform::Window::create(std::string(tolvan::kCorvaneManagerTitle),
                                            [&](platform::UINT message, platform::WPARAM wParam, platform::LPARAM lParam) {
                                                if (message == platform::WM_COPYDATA) {
                                                    auto* data = reinterpret_cast<const platform::COPYDATASTRUCT*>(lParam);
                                                    answers.emplace_back(
                                                        wParam, std::string(static_cast<const char*>(data->lpData), data->cbData));
                                                }
                                                return platform::LRESULT(0);
                                            });
    int closes = 0;
    auto company = platform::Window::create(std::string(tolvan::kCorvaneCompanyTitle),
                                            [&](platform::UINT message, platform::WPARAM, platform::LPARAM) {
                                                closes += message == platform::WM_CLOSE;
                                                return platform::LRESULT(0);
                                            });

    EXPECT_EQ(call("GetBindShopResponse", {Text("店铺绑定成功")}).retval, nullptr);
    ASSERT_TRUE(testsupport::waitUntil([&] { return closes == 1; }));
    EXPECT_EQ(answers, (std::vector<std::pair<platform::WPARAM, std::string>>{{5, "店铺绑定成功"}}));

    // Without a text nothing is sent.
    call("GetBindShopResponse", {Int(1)});
    QCoreApplication::processEvents();
    EXPECT_EQ(answers.size(), 1u);
    EXPECT_EQ(closes, 1);
}
