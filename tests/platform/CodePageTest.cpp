#include "platform/CodePage.h"

#include "LocaleScope.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace platform;
using testsupport::GbkLocaleScope;
using testsupport::ScopedEnv;

namespace {

const std::string kTitleUtf8 = "Tolvan站长管理工具";
const std::string kTitleGbk = "Tolvan\xD5\xBE\xB3\xA4\xB9\xDC\xC0\xED\xB9\xA4\xBE\xDF";
const std::u16string kTitle = u"Tolvan站长管理工具";

// Every test chooses its locale environment itself.
class CodePageTest : public ::testing::Test {
protected:
    ScopedEnv m_lcAll{"LC_ALL", std::nullopt};
    ScopedEnv m_lcCtype{"LC_CTYPE", std::nullopt};
    ScopedEnv m_lang{"LANG", std::nullopt};
};

TEST_F(CodePageTest, AnsiCodePageFollowsTheEnvironmentsLocaleWithoutChangingTheProcesssOwn)
{
    const std::string processLocale = std::setlocale(LC_ALL, nullptr);
    struct Case {
        std::optional<std::string> lang;
        const char* expected;
    };
    const Case cases[] = {
        {std::nullopt, "UTF-8"},       // nothing set: the C locale, taken as UTF-8
        {"C", "UTF-8"},
        {"POSIX", "UTF-8"},
        {"C.UTF-8", "UTF-8"},
        {"xx_YY.NOSUCH", "UTF-8"},     // a locale that is not installed
    };
    for (const auto& c : cases) {
        ScopedEnv lang("LANG", c.lang);
        EXPECT_EQ(ansiCodePageName(), c.expected) << c.lang.value_or("(unset)");
    }
    {
        GbkLocaleScope gbk;
        if (gbk.available()) {
            EXPECT_EQ(ansiCodePageName(), "GBK");
        }
    }
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), processLocale);
}

TEST_F(CodePageTest, UnderAPlainLocaleAnsiIsUtf8SoChineseSurvives)
{
    ScopedEnv lang("LANG", std::string("C"));
    EXPECT_EQ(ansiToUtf16(kTitleUtf8), kTitle);
    EXPECT_EQ(utf16ToAnsi(kTitle), kTitleUtf8);
    EXPECT_EQ(ansiToUtf8(kTitleUtf8), kTitleUtf8);
    EXPECT_EQ(utf8ToAnsi(kTitleUtf8), kTitleUtf8);
}

TEST_F(CodePageTest, UnderAChineseLocaleAnsiIsGbk)
{
    GbkLocaleScope gbk;
    if (!gbk.available())
        GTEST_SKIP() << GbkLocaleScope::kSkipMessage;
    EXPECT_EQ(ansiToUtf16(kTitleGbk), kTitle);
    EXPECT_EQ(utf16ToAnsi(kTitle), kTitleGbk);
    EXPECT_EQ(ansiToUtf8(kTitleGbk), kTitleUtf8);
    EXPECT_EQ(utf8ToAnsi(kTitleUtf8), kTitleGbk);
    EXPECT_EQ(utf8ToAnsi("€ ệ"), "\x80 ?");
}

TEST_F(CodePageTest, GbkConversionsNeedNoLocale)
{
    ScopedEnv lang("LANG", std::string("C"));
    EXPECT_EQ(utf16ToGbk(kTitle), kTitleGbk);
    EXPECT_EQ(gbkToUtf16(kTitleGbk), kTitle);
    EXPECT_EQ(gbkToUtf16("\x80"), u"€");  // code page 936's euro sign
}

TEST_F(CodePageTest, CharactersTheTargetCannotHoldBecomeTheDefaultCharacter)
{
    struct Case {
        std::u16string text;
        std::string gbk;
    };
    const Case cases[] = {
        {u"a\u1EC7b", "a?b"},                      // Vietnamese letter, not in GBK
        {u"\uD55C\uAD6D", "??"},                   // Hangul
        {u"x\U0001F600y", "x?y"},                  // a surrogate pair is one character
        {u"x\xD800y", "x?y"},                      // unpaired high surrogate
        {u"x\xDC00", "x?"},                        // unpaired low surrogate at the end
        {u"站\xD83D", "\xD5\xBE?"},                // high surrogate cut off at the end
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf16ToGbk(c.text), c.gbk);

    EXPECT_EQ(utf16ToUtf8(u"x\xD800y"), "x\xEF\xBF\xBDy");  // UTF-8 holds every character
    EXPECT_EQ(utf16ToUtf8(u"x\U0001F600y"), "x\xF0\x9F\x98\x80y");
    EXPECT_EQ(utf8ToUtf16("x\xF0\x9F\x98\x80y"), u"x\U0001F600y");
}

TEST_F(CodePageTest, InvalidInputBytesBecomeReplacementCharacters)
{
    struct Case {
        std::string input;
        std::u16string expected;
    };
    const Case gbkCases[] = {
        {"\x81\x20z", u"\uFFFD z"},  // a lead byte without a valid trail byte
        {"a\xFF" "b", u"a\uFFFDb"},
        {"a\xD5", u"a\uFFFD"},       // cut off at the end
    };
    for (const auto& c : gbkCases)
        EXPECT_EQ(gbkToUtf16(c.input), c.expected);

    const Case utf8Cases[] = {
        {"a\xC3(b", u"a\uFFFD(b"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},           // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // an encoded surrogate
        {"\xE7\xAB", u"\uFFFD"},                 // cut off at the end
    };
    for (const auto& c : utf8Cases)
        EXPECT_EQ(utf8ToUtf16(c.input), c.expected);
}

TEST_F(CodePageTest, EmptyAndLongTexts)
{
    EXPECT_EQ(ansiToUtf16(""), u"");
    EXPECT_EQ(utf16ToAnsi(u""), "");
    EXPECT_EQ(gbkToUtf16(""), u"");
    EXPECT_EQ(utf16ToGbk(u""), "");
    EXPECT_EQ(utf8ToUtf16(""), u"");
    EXPECT_EQ(utf16ToUtf8(u""), "");

    std::u16string longText;
    for (int i = 0; i < 20000; ++i)
        longText += u"站a";
    EXPECT_EQ(gbkToUtf16(utf16ToGbk(longText)), longText);
    EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(longText)), longText);
    const std::string embeddedNul("a\0b", 3);
    EXPECT_EQ(utf8ToUtf16(embeddedNul), std::u16string(u"a\0b", 3));
}

TEST_F(CodePageTest, Utf8Validation)
{
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8(kTitleUtf8));
    EXPECT_TRUE(isValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF
    for (const std::string bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80", "\xFF"})
        EXPECT_FALSE(isValidUtf8(bad)) << testing::PrintToString(bad);
    EXPECT_FALSE(isValidUtf8(kTitleGbk));
}

TEST_F(CodePageTest, TruncationKeepsWholeCharacters)
{
    ScopedEnv lang("LANG", std::string("C"));
    EXPECT_EQ(truncateAnsi("abc", 5), "abc");
    EXPECT_EQ(truncateAnsi("abc", 2), "ab");
    EXPECT_EQ(truncateAnsi("站长", 4), "站");
    EXPECT_EQ(truncateAnsi("站长", 5), "站");
    EXPECT_EQ(truncateAnsi("站长", 6), "站长");
    EXPECT_EQ(truncateAnsi("a\xFF" "bc", 3), "a\xFF" "b");  // invalid bytes count as one byte each
    EXPECT_EQ(truncateAnsi("abc", 0), "");

    GbkLocaleScope gbk;
    if (!gbk.available())
        GTEST_SKIP() << GbkLocaleScope::kSkipMessage;
    EXPECT_EQ(truncateAnsi(kTitleGbk, 9), kTitleGbk.substr(0, 8));
    EXPECT_EQ(truncateAnsi(kTitleGbk, 10), kTitleGbk.substr(0, 10));
}

} // namespace
