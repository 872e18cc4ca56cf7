// The parts both engines share: strings, reference counting, command lines,
// script values, tasks and key codes.
#include "engine/cef/Cef.h"
#include "engine/core/KeyCodes.h"
#include "engine/fake/FakeEngine.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>

namespace {

TEST(CefStringTest, ConvertsBetweenUtf8Utf16AndWideText)
{
    const std::string utf8 = "Tolvan\xE7\xAB\x99\xE9\x95\xBF \xF0\x9F\x93\xA6";  // with a surrogate pair
    const CefString text(utf8);
    EXPECT_EQ(text.length(), 11u);
    EXPECT_EQ(text.ToString(), utf8);
    EXPECT_EQ(CefString(text.ToWString()), text);
    EXPECT_EQ(CefString(u"\u7AD9"), CefString("\xE7\xAB\x99"));
    EXPECT_EQ(CefString("bad \xFF byte").ToString16(), u"bad \uFFFD byte");
    // Order by UTF-16 code units: a surrogate (U+D83D) sorts before U+FFFD.
    EXPECT_LT(CefString(u"\U0001F4E6"), CefString(u"\uFFFD"));
    EXPECT_TRUE(CefString().empty());
    EXPECT_TRUE(CefString(static_cast<const char*>(nullptr)).empty());
}

class Counted : public CefTask {
public:
    explicit Counted(std::atomic<int>& alive) : m_alive(alive) { ++m_alive; }
    ~Counted() override { --m_alive; }
    void Execute(CefThreadId) override {}

private:
    std::atomic<int>& m_alive;
    IMPLEMENT_REFCOUNTING(Counted);
};

TEST(CefRefPtrTest, ObjectsDeleteThemselvesAtZero)
{
    std::atomic<int> alive = 0;
    {
        CefRefPtr<Counted> first = new Counted(alive);
        CefRefPtr<CefTask> second = first;
        EXPECT_EQ(first->GetRefCt(), 2);
        CefRefPtr<CefTask> moved = std::move(second);
        EXPECT_EQ(first->GetRefCt(), 2);
        first = nullptr;
        EXPECT_EQ(alive, 1);
        EXPECT_EQ(moved->GetRefCt(), 1);
    }
    EXPECT_EQ(alive, 0);
}

struct CommandLineCase {
    std::vector<const char*> argv;
    std::vector<std::pair<std::string, std::string>> switches;  // name, value
    std::vector<std::string> arguments;
};

TEST(CefCommandLineTest, ReadsSwitchesAndArguments)
{
    const std::vector<CommandLineCase> cases = {
        {{"prog"}, {}, {}},
        {{"prog", "--cache-path=/x/y", "--flag", "-single=v"},
         {{"cache-path", "/x/y"}, {"flag", ""}, {"single", "v"}},
         {}},
        // A lone '-' and plain words are arguments; "-X" is a switch named X.
        {{"prog", "-", "word", "-http://host/a=b"}, {{"http://host/a", "b"}}, {"-", "word"}},
        // Later values replace earlier ones; "--" ends the switches.
        {{"prog", "--a=1", "--a=2", "--", "--b"}, {{"a", "2"}}, {"--b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argv.size());
        CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
        line->InitFromArgv(int(c.argv.size()), c.argv.data());
        EXPECT_EQ(line->GetProgram().ToString(), "prog");
        EXPECT_EQ(line->HasSwitches(), !c.switches.empty());
        for (const auto& [name, value] : c.switches) {
            EXPECT_TRUE(line->HasSwitch(name)) << name;
            EXPECT_EQ(line->GetSwitchValue(name).ToString(), value) << name;
        }
        std::vector<CefString> arguments;
        line->GetArguments(arguments);
        std::vector<std::string> texts;
        for (const auto& argument : arguments)
            texts.push_back(argument.ToString());
        EXPECT_EQ(texts, c.arguments);
    }
    CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
    line->InitFromString("\"C:/Program Files/prog\" --x=\"a b\" rest");
    EXPECT_EQ(line->GetProgram().ToString(), "C:/Program Files/prog");
    EXPECT_EQ(line->GetSwitchValue("x").ToString(), "a b");
    line->AppendSwitchWithValue("x", "c");
    line->AppendSwitch("y");
    EXPECT_EQ(line->GetCommandLineString().ToString(), "C:/Program Files/prog --x=c --y rest");
}

TEST(CefV8ValueTest, KindsAndConversions)
{
    struct Case {
        CefRefPtr<CefV8Value> value;
        const char* kinds;  // u n b i d s o a f
        int asInt;
        double asDouble;
    };
    const std::vector<Case> cases = {
        {CefV8Value::CreateUndefined(), "u", 0, 0},
        {CefV8Value::CreateNull(), "n", 0, 0},
        {CefV8Value::CreateBool(true), "b", 0, 0},
        {CefV8Value::CreateInt(-5), "id", -5, -5},
        {CefV8Value::CreateDouble(2.7), "d", 2, 2.7},
        {CefV8Value::CreateDouble(1e300), "d", 0, 1e300},
        {CefV8Value::CreateString("x"), "s", 0, 0},
        {CefV8Value::CreateObject(), "o", 0, 0},
        {CefV8Value::CreateArray(), "oa", 0, 0},
        {CefV8Value::CreateFunction("f", nullptr), "of", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kinds);
        const std::string kinds = c.kinds;
        EXPECT_EQ(c.value->IsUndefined(), kinds.find('u') != std::string::npos);
        EXPECT_EQ(c.value->IsNull(), kinds.find('n') != std::string::npos);
        EXPECT_EQ(c.value->IsBool(), kinds.find('b') != std::string::npos);
        EXPECT_EQ(c.value->IsInt(), kinds.find('i') != std::string::npos);
        EXPECT_EQ(c.value->IsDouble(), kinds.find('d') != std::string::npos);
        EXPECT_EQ(c.value->IsString(), kinds.find('s') != std::string::npos);
        EXPECT_EQ(c.value->IsObject(), kinds.find('o') != std::string::npos);
        EXPECT_EQ(c.value->IsArray(), kinds.find('a') != std::string::npos);
        EXPECT_EQ(c.value->IsFunction(), kinds.find('f') != std::string::npos);
        EXPECT_EQ(c.value->GetIntValue(), c.asInt);
        EXPECT_EQ(c.value->GetDoubleValue(), c.asDouble);
    }
    EXPECT_TRUE(CefV8Value::CreateString("a")->IsSame(CefV8Value::CreateString("a")));
    EXPECT_FALSE(CefV8Value::CreateObject()->IsSame(CefV8Value::CreateObject()));
    EXPECT_FALSE(CefV8Value::CreateInt(1)->IsSame(CefV8Value::CreateDouble(1)));
}

TEST(CefV8ValueTest, ObjectsAndArraysHoldValues)
{
    CefRefPtr<CefV8Value> object = CefV8Value::CreateObject();
    EXPECT_TRUE(object->SetValue("b", CefV8Value::CreateInt(1), V8_PROPERTY_ATTRIBUTE_READONLY));
    EXPECT_TRUE(object->SetValue("a", CefV8Value::CreateInt(2)));
    EXPECT_TRUE(object->SetValue("b", CefV8Value::CreateInt(3)));  // native code may always set
    std::vector<CefString> keys;
    object->GetKeys(keys);
    EXPECT_EQ(keys, (std::vector<CefString>{"b", "a"}));
    EXPECT_EQ(object->GetValue("b")->GetIntValue(), 3);
    EXPECT_TRUE(object->GetValue("missing")->IsUndefined());
    EXPECT_TRUE(object->DeleteValue("b"));
    EXPECT_FALSE(object->HasValue("b"));
    EXPECT_EQ(object->GetValue("a")->GetIntValue(), 2);

    CefRefPtr<CefV8Value> array = CefV8Value::CreateArray();
    EXPECT_TRUE(array->SetValue(2, CefV8Value::CreateString("c")));
    EXPECT_EQ(array->GetArrayLength(), 3);
    EXPECT_FALSE(array->HasValue(0));
    EXPECT_TRUE(array->GetValue(0)->IsUndefined());
    EXPECT_FALSE(array->SetValue(-1, CefV8Value::CreateInt(0)));
    EXPECT_FALSE(object->SetValue(0, CefV8Value::CreateInt(0)));  // only arrays have indices
    EXPECT_FALSE(CefV8Value::CreateInt(1)->SetValue("x", CefV8Value::CreateInt(0)));
}

class RecordingTask : public CefTask {
public:
    RecordingTask(std::vector<int>& order, std::mutex& mutex, int number, std::thread::id& thread)
        : m_order(order), m_mutex(mutex), m_number(number), m_thread(thread)
    {
    }
    void Execute(CefThreadId threadId) override
    {
        EXPECT_EQ(threadId, TID_FILE);
        EXPECT_TRUE(CefCurrentlyOn(TID_FILE));
        std::lock_guard lock(m_mutex);
        m_order.push_back(m_number);
        m_thread = std::this_thread::get_id();
    }

private:
    std::vector<int>& m_order;
    std::mutex& m_mutex;
    int m_number;
    std::thread::id& m_thread;
    IMPLEMENT_REFCOUNTING(RecordingTask);
};

TEST(CefTaskTest, FileThreadRunsTasksInOrderUntilShutdown)
{
    int argc = 1;
    char name[] = "engine_tests";
    char* argv[] = {name};
    QCoreApplication app(argc, argv);
    EXPECT_FALSE(CefPostTask(TID_FILE, NewCefRunnableFunction([] {})));  // not started
    ASSERT_TRUE(CefInitialize(CefSettings(), nullptr));  // the fake engine
    std::vector<int> order;
    std::mutex mutex;
    std::thread::id fileThread;
    CefPostDelayedTask(TID_FILE, new RecordingTask(order, mutex, 100, fileThread), 50);
    for (int i = 0; i < 200; ++i)
        EXPECT_TRUE(CefPostTask(TID_FILE, new RecordingTask(order, mutex, i, fileThread)));
    EXPECT_TRUE(testsupport::waitUntil([&] {
        std::lock_guard lock(mutex);
        return order.size() == 201;
    }));
    EXPECT_NE(fileThread, std::this_thread::get_id());
    EXPECT_EQ(order.back(), 100);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(order[std::size_t(i)], i);

    // UI tasks run from the event loop, on this thread.
    bool ran = false;
    EXPECT_TRUE(CefCurrentlyOn(TID_UI));
    EXPECT_TRUE(CefPostTask(TID_UI, NewCefRunnableFunction([&] { ran = CefCurrentlyOn(TID_UI); })));
    EXPECT_FALSE(ran);
    EXPECT_TRUE(testsupport::waitUntil([&] { return ran; }));

    // Shutdown runs what is queued.
    std::atomic<int> alive = 0;
    std::atomic<int> runs = 0;
    for (int i = 0; i < 20; ++i)
        CefPostTask(TID_FILE, NewCefRunnableFunction([&runs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            ++runs;
        }));
    CefPostTask(TID_FILE, new Counted(alive));
    CefShutdown();
    EXPECT_EQ(runs, 20);
    EXPECT_EQ(alive, 0);
    engine::fake::FakeEngine::reset();
}

TEST(KeyCodesTest, WindowsCodesAndModifiers)
{
    const std::vector<std::tuple<int, bool, int>> keys = {
        {Qt::Key_A, false, 0x41},      {Qt::Key_J, false, 0x4A},     {Qt::Key_Z, false, 0x5A},
        {Qt::Key_0, false, 0x30},      {Qt::Key_9, false, 0x39},     {Qt::Key_F1, false, 0x70},
        {Qt::Key_F5, false, 0x74},     {Qt::Key_F12, false, 0x7B},   {Qt::Key_Escape, false, 0x1B},
        {Qt::Key_Return, false, 0x0D}, {Qt::Key_Enter, true, 0x0D},  {Qt::Key_Tab, false, 0x09},
        {Qt::Key_Left, false, 0x25},   {Qt::Key_Delete, false, 0x2E}, {Qt::Key_Shift, false, 0x10},
        {Qt::Key_Control, false, 0x11}, {Qt::Key_5, true, 0x65},      {Qt::Key_Plus, true, 0x6B},
        {Qt::Key_Plus, false, 0xBB},   {Qt::Key_Exclam, false, 0x31}, {Qt::Key_unknown, false, 0},
    };
    for (const auto& [key, keypad, code] : keys)
        EXPECT_EQ(engine::windowsKeyCode(key, keypad), code) << std::hex << key;

    using engine::keyModifiers;
    EXPECT_EQ(keyModifiers(Qt::ShiftModifier | Qt::ControlModifier, engine::kX11Mod2Mask, false), 1027);
    EXPECT_EQ(keyModifiers(Qt::ShiftModifier | Qt::ControlModifier, 0, false), 3);
    EXPECT_EQ(keyModifiers(Qt::AltModifier, engine::kX11LockMask, true),
              KEY_ALT | KEY_CAPSLOCK | KEY_AUTOREPEAT);
    EXPECT_EQ(keyModifiers(Qt::KeypadModifier | Qt::MetaModifier, 0, false), KEY_KEYPAD | KEY_META);
}

} // namespace
