// The client's command line and its title-bar double-click filter.
#include "client/app/BrowserApp.h"
#include "client/app/MyCommandLineInfo.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
    std::string startUrl, title, replyCodeText;
    int replyCode;
    bool operator==(const Parsed&) const = default;
};

Parsed parse(std::vector<std::string> tokens)
{
    CBrowserApp app;
    app.m_arguments = {"TolvanClient"};
    app.m_arguments.insert(app.m_arguments.end(), tokens.begin(), tokens.end());
    CMyCommandLineInfo::s_nParamIndex = 0;
    CMyCommandLineInfo info(app);
    app.ParseCommandLine(info);
    return {app.m_strStartUrl, app.m_strTitle, app.m_strReplyCode, app.m_nReplyCode};
}

} // namespace

TEST(ClientCommandLine, ValuesArePositionalAndEveryTokenCounts)
{
    struct Case {
        std::vector<std::string> tokens;
        Parsed expected;
    };
    const Case cases[] = {
        {{}, {"", "", "", 0}},
        {{"-"}, {"", "", "", 0}},
        {{"-http://127.0.0.1:40088/express/grab/list"}, {"http://127.0.0.1:40088/express/grab/list", "", "", 0}},
        {{"-X", "-Y", "-5"}, {"X", "Y", "5", 5}},
        {{"/X", "/站点", "/10", "-7"}, {"X", "站点", "10", 10}},
        {{"-X", "-Y", "-05"}, {"X", "Y", "05", 0}},
        {{"-X", "-Y", "-11"}, {"X", "Y", "11", 0}},
        {{"-X", "-Y", "- 3"}, {"X", "Y", " 3", 0}},
        // Engine switches take positions too.
        {{"--locale=en", "-X", "-Y"}, {"-locale=en", "X", "Y", 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parse(c.tokens), c.expected) << testing::PrintToString(c.tokens);
}

TEST(ClientCommandLine, OnlyExactCodesZeroToTenAreReplyCodes)
{
    for (int code = 0; code <= 10; ++code)
        EXPECT_EQ(ParseReplyCode(std::to_string(code).c_str()), code);
    for (const char* text : {"", "-1", "11", "05", "+5", "5 ", "five", "0x5"})
        EXPECT_EQ(ParseReplyCode(text), -1) << text;
}

TEST(ClientStartup, OnlyTheFirstTitleBarDoubleClickGetsThrough)
{
    CBrowserApp app;
    framework::MSG doubleClick{nullptr, platform::WM_NCLBUTTONDBLCLK, 2, 0};
    framework::MSG other{nullptr, platform::WM_KEYDOWN, 0x74, 0};
    EXPECT_FALSE(app.PreTranslateMessage(doubleClick));
    EXPECT_FALSE(app.PreTranslateMessage(other));
    EXPECT_TRUE(app.PreTranslateMessage(doubleClick));
    EXPECT_TRUE(app.PreTranslateMessage(doubleClick));
    EXPECT_FALSE(app.PreTranslateMessage(other));
    EXPECT_EQ(app.m_nCaptionDblClicks, 3);
}
