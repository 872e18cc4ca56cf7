// Fetchwell's log: the four-line entry, appending across runs, the folder.
#include "TestSupport.h"

#include "updater/UpdateLog.h"
#include "updater/UpdaterGlobals.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <locale>
#include <regex>
#include <sstream>

using testsupport::readFile;
using testsupport::TempFolder;

namespace {

// A locale that groups digits in threes, as many user locales do.
struct GroupingPunctuation : std::numpunct<char> {
    char do_thousands_sep() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

TEST(UpdateLogTest, EntriesOfSeveralRunsFollowEachOtherInTheCreatedFolder)
{
    TempFolder folder{"fetchwell-log"};
    SetProgramFolder(folder.path());
    ASSERT_FALSE(std::filesystem::exists(folder.file("Log")));

    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new GroupingPunctuation));
    CreateLogFolder();
    WriteLog("开始检查更新");
    WriteLog("");
    CreateLogFolder();  // a second run finds the folder there
    WriteLog("当前版本为最新版本，无需更新");
    std::locale::global(previous);

    const std::string text = readFile(folder.file("Log/Log.txt"));
    EXPECT_EQ(text.find('\r'), std::string::npos);
    const auto logLines = lines(text);
    ASSERT_EQ(logLines.size(), 12u) << text;

    const std::regex timeLine("操作时间：[1-9][0-9]{3}年([1-9]|1[0-2])月([1-9]|[12][0-9]|3[01])日"
                              "([0-9]|1[0-9]|2[0-3])时([0-9]|[1-5][0-9])分([0-9]|[1-5][0-9]|60)秒");
    const std::string messages[] = {"开始检查更新", "", "当前版本为最新版本，无需更新"};
    for (int entry = 0; entry < 3; ++entry) {
        SCOPED_TRACE(entry);
        EXPECT_TRUE(std::regex_match(logLines[entry * 4], timeLine)) << logLines[entry * 4];
        EXPECT_EQ(logLines[entry * 4 + 1], "日志内容：" + messages[entry]);
        EXPECT_EQ(logLines[entry * 4 + 2], std::string(77, '='));
        EXPECT_EQ(logLines[entry * 4 + 3], "");
    }
}

TEST(UpdateLogTest, MissingLogFolderLosesTheEntrySilently)
{
    TempFolder folder{"fetchwell-log"};
    SetProgramFolder(folder.path());
    WriteLog("lost");
    EXPECT_FALSE(std::filesystem::exists(folder.file("Log")));
}

} // namespace
