// The client's own texts and files: ConsoleMsg.log records, the dojopr
// script built from httproot/dojopr.txt, the customer-service address.
#include "client/browser/ConsoleLog.h"
#include "client/script/ChatAddress.h"
#include "client/script/ScriptExtension.h"
#include "platform/Paths.h"

#include "TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Runs the test in its own current directory.
class InFolder : public ::testing::Test {
protected:
    InFolder() : m_previous(platform::currentDirectory()) { EXPECT_EQ(::chdir(folder.path().c_str()), 0); }
    ~InFolder() override { [[maybe_unused]] int ignored = ::chdir(m_previous.c_str()); }

    testsupport::TempFolder folder{"tolvan-files"};

private:
    std::string m_previous;
};

} // namespace

TEST(ConsoleLog, TheTimeLineHasNoLeadingZeros)
{
    std::tm time{};
    time.tm_mon = 11;
    time.tm_mday = 9;
    time.tm_hour = 15;
    time.tm_min = 40;
    EXPECT_EQ(ConsoleLogTimeLine(time), "12M9D 15H40M \r\n");
    time.tm_mon = 0;
    time.tm_mday = 1;
    time.tm_hour = 0;
    time.tm_min = 5;
    EXPECT_EQ(ConsoleLogTimeLine(time), "1M1D 0H5M \r\n");
}

using ConsoleLogFile = InFolder;

TEST_F(ConsoleLogFile, RecordsAreAppendedInTheCurrentDirectory)
{
    AppendConsoleLogRecord("http://127.0.0.1:40088/express/grab/list");
    AppendConsoleLogRecord("第二条");
    const std::string log = testsupport::readFile(folder.file(kConsoleLogFileName));
    const std::string first = "M \r\nhttp://127.0.0.1:40088/express/grab/list\r\n";
    ASSERT_NE(log.find(first), std::string::npos) << log;
    EXPECT_TRUE(log.ends_with("M \r\n第二条\r\n")) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4);

    // A current directory that is gone loses the record silently.
    const std::string gone = folder.file("gone");
    std::filesystem::create_directory(gone);
    ASSERT_EQ(::chdir(gone.c_str()), 0);
    std::filesystem::remove(gone);
    AppendConsoleLogRecord("lost");
    EXPECT_FALSE(std::filesystem::exists(gone));
}

using DojoprCode = InFolder;

TEST_F(DojoprCode, JoinsTheListedWritableFilesIntoOneFunction)
{
    EXPECT_EQ(BuildDojoprCode(folder.path()), std::nullopt);

    std::filesystem::create_directories(folder.file("httproot/js"));
    testsupport::writeFile(folder.file("httproot/dojopr.txt"), "");
    EXPECT_EQ(BuildDojoprCode(folder.path()), "function dojopr(){}");

    testsupport::writeFile(folder.file("httproot/a.js"), "var a=1;");  // no line break at its end
    testsupport::writeFile(folder.file("httproot/js/b.js"), std::string("var b=2;\0ignored", 16));
    testsupport::writeFile(folder.file("httproot/dojopr.txt"),
                           "httproot/a.js\r\n\nhttproot/missing.js\nhttproot/js\nhttproot\\js\\b.js\n");
    EXPECT_EQ(BuildDojoprCode(folder.path()), "function dojopr(){var a=1;var b=2;}");
}

TEST(ChatAddress, HasTheStatedFormAndTakesTheAccount)
{
    const std::string address = BuiltInChatAddress();
    EXPECT_EQ(address.size(), 270u);
    EXPECT_TRUE(address.starts_with("tencent://message/?Menu=yes&uin=" + std::string(kBuiltInServiceAccount) +
                                    "&Site="));
    const std::string chat = ChatAddressFor("123");
    EXPECT_TRUE(chat.starts_with("tencent://message/?Menu=yes&uin=123&Site=")) << chat;
    EXPECT_EQ(chat.find(kBuiltInServiceAccount), std::string::npos);
    // An account that contains the built-in one is not replaced again.
    const std::string nested = ChatAddressFor("x" + std::string(kBuiltInServiceAccount));
    EXPECT_EQ(nested.size(), 271u);
}
