// Keys and context menus of a page.
#include "EngineWorld.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

namespace enginetest {
namespace {

constexpr quint32 kNumLockOn = 0x10;  // X11's Mod2

void sendKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers, quint32 native,
             const QString& text)
{
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, modifiers, 0, 0, native, text);
        QCoreApplication::sendEvent(widget, &event);
    }
}

std::vector<KeyEvent> keysWithCode(int code)
{
    std::vector<KeyEvent> found;
    for (const KeyEvent& key : world().client->keys)
        if (key.code == code)
            found.push_back(key);
    return found;
}

TEST(Input, KeysArriveWithWindowsCodesAndModifiers)
{
    testsupport::HttpResponse page;
    page.body = testsupport::htmlPage(
        "<input id=i autofocus><script>"
        "document.addEventListener('keydown', function (e) {"
        "  if (e.key === 'x') e.preventDefault();"
        "  external.Report('page-key', e.key + (e.ctrlKey ? '+ctrl' : '') + (e.shiftKey ? '+shift' : ''));"
        "});"
        "document.getElementById('i').focus();"
        "</script>");
    world().server->route("/keys", page);
    ASSERT_TRUE(loadPage(world().server->url("/keys")));
    world().browser->SetFocus(true);
    QWidget* input = inputWidget(world().browser);
    ASSERT_TRUE(input);

    RecordingClient& client = *world().client;
    // Chromium drops keys for a moment after a load; wait until they reach
    // the page.
    ASSERT_TRUE(testsupport::waitUntil(
        [input] {
            world().client->calls.clear();
            sendKey(input, Qt::Key_A, Qt::NoModifier, 0, "a");
            return waitForReport("page-key", 300ms).has_value();
        },
        kPageTimeout));
    world().client->calls.clear();
    // The probe's release comes back after the page, too.
    ASSERT_TRUE(testsupport::waitUntil([] {
        const auto& keys = world().client->keys;
        return std::any_of(keys.begin(), keys.end(), [](const KeyEvent& k) {
            return k.type == KEYEVENT_KEYUP && k.afterJavaScript;
        });
    }));

    // Ctrl+Shift+J with Num Lock on: the developer-tools shortcut's 1027.
    client.keys.clear();
    sendKey(input, Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier, kNumLockOn, "J");
    ASSERT_TRUE(testsupport::waitUntil([] { return keysWithCode(0x4A).size() >= 4; }, kPageTimeout));
    EXPECT_EQ(reportsOf("page-key"), std::vector<std::string>{"J+ctrl+shift"});
    const std::vector<KeyEvent> keys = keysWithCode(0x4A);
    ASSERT_EQ(keys.size(), 4u);
    std::vector<std::pair<int, bool>> seen;  // (type, after the page)
    for (const KeyEvent& key : keys) {
        EXPECT_EQ(key.code, 0x4A);
        EXPECT_EQ(key.modifiers, KEY_SHIFT | KEY_CTRL | KEY_NUMLOCK);
        EXPECT_EQ(key.modifiers, 1027);
        EXPECT_FALSE(key.isSystemKey);
        seen.emplace_back(key.type, key.afterJavaScript);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::pair<int, bool>>{{KEYEVENT_RAWKEYDOWN, false},
                                                       {KEYEVENT_RAWKEYDOWN, true},
                                                       {KEYEVENT_KEYUP, false},
                                                       {KEYEVENT_KEYUP, true}}));
    // Each key comes before the page sees it, and again after.
    EXPECT_FALSE(keys[0].afterJavaScript);

    // Function keys and Escape without modifiers and without Num Lock.
    for (auto [key, code] : {std::pair{Qt::Key_F5, 0x74}, std::pair{Qt::Key_F12, 0x7B},
                             std::pair{Qt::Key_Escape, 0x1B}}) {
        SCOPED_TRACE(code);
        client.keys.clear();
        sendKey(input, key, Qt::NoModifier, 0, {});
        ASSERT_TRUE(testsupport::waitUntil([&] { return keysWithCode(code).size() >= 4; }, kPageTimeout));
        for (const KeyEvent& event : keysWithCode(code)) {
            EXPECT_EQ(event.code, code);
            EXPECT_EQ(event.modifiers, 0);
        }
    }

    // A key the page cancels comes only before the page.
    client.keys.clear();
    client.calls.clear();
    sendKey(input, Qt::Key_X, Qt::NoModifier, 0, "x");
    ASSERT_TRUE(waitForReport("page-key"));
    // The release is not cancelled: wait for its second delivery.
    ASSERT_TRUE(testsupport::waitUntil(
        [&] {
            const auto keys = keysWithCode(0x58);
            return std::count_if(keys.begin(), keys.end(), [](const KeyEvent& k) {
                       return k.type == KEYEVENT_KEYUP && k.afterJavaScript;
                   }) == 1;
        },
        kPageTimeout));
    const auto xKeys = keysWithCode(0x58);
    EXPECT_EQ(xKeys.size(), 3u);
    for (const KeyEvent& key : xKeys)
        EXPECT_FALSE(key.type == KEYEVENT_RAWKEYDOWN && key.afterJavaScript);
}

TEST(Input, ContextMenuIsAskedForAndCancelled)
{
    testsupport::HttpResponse page;
    page.body = testsupport::htmlPage("<a id=l href='/target' style='display:block;height:300px'>link</a>");
    world().server->route("/menu", page);
    ASSERT_TRUE(loadPage(world().server->url("/menu")));
    QWidget* input = inputWidget(world().browser);
    ASSERT_TRUE(input);
    world().client->cancelMenus = true;
    QTest::mouseClick(input, Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
    ASSERT_TRUE(testsupport::waitUntil([] { return !world().client->menus.empty(); }, kPageTimeout));
    EXPECT_EQ(utf8(world().client->menus[0].linkUrl), world().server->url("/target"));
    QTest::qWait(300);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

} // namespace
} // namespace enginetest
