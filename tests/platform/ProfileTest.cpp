#include "platform/Profile.h"

#include "LocaleScope.h"
#include "TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QString>

#include <gtest/gtest.h>

#include <future>
#include <sys/stat.h>
#include <thread>

using namespace platform;
using testsupport::GbkLocaleScope;
using testsupport::ScopedEnv;
using testsupport::TempFolder;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

std::string probeProgram() { return testsupport::testDir() + "/qsettings_probe_helper"; }

// What the tray tool's settings reader makes of the keys ("Group/key"):
// the text, or nothing when the key is missing or does not read as one text.
std::vector<std::optional<std::string>> qtRead(const std::string& file, const std::vector<std::string>& keys)
{
    QStringList args{QString::fromStdString(file), "get"};
    for (const auto& key : keys)
        args << QString::fromStdString(key);
    const auto result = testsupport::runProgram(probeProgram(), args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::optional<std::string>> values;
    for (const QString& line : QString::fromStdString(result.out).split('\n', Qt::SkipEmptyParts)) {
        const auto parts = line.split(' ');
        if (parts[0] == "QString")
            values.push_back(QByteArray::fromHex(parts.value(1).toLatin1()).toStdString());
        else
            values.push_back(std::nullopt);
    }
    EXPECT_EQ(values.size(), keys.size());
    values.resize(keys.size());
    return values;
}

std::optional<std::string> qtRead(const std::string& file, const std::string& key)
{
    return qtRead(file, std::vector{key}).front();
}

// Stores texts the way the tray tool does.
void qtWrite(const std::string& file, const std::vector<std::pair<std::string, std::string>>& values)
{
    QStringList args{QString::fromStdString(file), "set"};
    for (const auto& [key, value] : values)
        args << QString::fromStdString(key) << QString(QByteArray::fromStdString(value).toHex());
    const auto result = testsupport::runProgram(probeProgram(), args);
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
}

std::string lineOf(const std::string& content, const std::string& start)
{
    const auto at = content.find("\n" + start);
    if (at == std::string::npos)
        return {};
    return content.substr(at + 1, content.find('\n', at + 1) - at - 1);
}

// Values whose spelling in the file matters, written by either side.
const std::vector<std::string> kTrickyValues = {
    "4.4.0",
    "http://127.0.0.1:8080/update/update.xml",
    "http://h/p?a=1&b=2;c=3,d=\"4\"",
    "a;b",
    "a,b",
    "a=b",
    "\"quoted\"",
    "say \"hi\"",
    "  leading and trailing  ",
    "C:\\dir\\file",
    "tab\there, new\nline",
    "@at the start",
    "Tolvan站长管理工具 é",
    "",
};

class ProfileTest : public ::testing::Test {
protected:
    TempFolder m_folder{"tolvan-profile"};
    std::string m_file = m_folder.file("configure.ini");
    ScopedEnv m_lcAll{"LC_ALL", std::nullopt};
    ScopedEnv m_lang{"LANG", std::nullopt};
};

TEST_F(ProfileTest, QtReadsWhatTheProfileFunctionsWriteAndWritesItTheSameWay)
{
    const std::string qtFile = m_folder.file("qt.ini");
    std::vector<std::pair<std::string, std::string>> qtValues;
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < kTrickyValues.size(); ++i) {
        const std::string key = "k" + std::to_string(i);
        ASSERT_TRUE(writeProfileString(m_file, "LinkInfo", key, kTrickyValues[i]));
        qtValues.push_back({"LinkInfo/" + key, kTrickyValues[i]});
        keys.push_back("LinkInfo/" + key);
    }
    const auto read = qtRead(m_file, keys);
    qtWrite(qtFile, qtValues);
    const std::string ours = readFile(m_file);
    const std::string theirs = readFile(qtFile);
    for (std::size_t i = 0; i < kTrickyValues.size(); ++i) {
        const std::string key = "k" + std::to_string(i) + "=";
        EXPECT_EQ(read[i], kTrickyValues[i]) << key;
        EXPECT_FALSE(lineOf(ours, key).empty()) << key;
        EXPECT_EQ(lineOf(ours, key), lineOf(theirs, key));
    }
}

TEST_F(ProfileTest, ReadsWhatQtWrites)
{
    std::vector<std::pair<std::string, std::string>> values;
    for (std::size_t i = 0; i < kTrickyValues.size(); ++i)
        values.push_back({"LinkInfo/k" + std::to_string(i), kTrickyValues[i]});
    values.push_back({"LinkInfo/with nul", std::string("a\0" "1", 3)});
    qtWrite(m_file, values);
    for (std::size_t i = 0; i < kTrickyValues.size(); ++i)
        EXPECT_EQ(readProfileString(m_file, "LinkInfo", "k" + std::to_string(i), "default"), kTrickyValues[i]);
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "with nul"), std::string("a\0" "1", 3));
}

TEST_F(ProfileTest, NamesAgreeWithQtsSpelling)
{
    qtWrite(m_file, {{"Sec tion/key with space", "1"}, {"LinkInfo/键", "2"}, {"LinkInfo/a;b", "3"}});
    EXPECT_EQ(readProfileString(m_file, "Sec tion", "key with space"), "1");
    EXPECT_EQ(readProfileString(m_file, "linkinfo", "键"), "2");
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "a;b"), "3");

    ASSERT_TRUE(writeProfileString(m_file, "New Group", "new key", "4"));
    ASSERT_TRUE(writeProfileString(m_file, "LinkInfo", "名字", "5"));
    EXPECT_EQ(qtRead(m_file, std::vector<std::string>{"New Group/new key", "LinkInfo/名字", "LinkInfo/键"}),
              (std::vector<std::optional<std::string>>{"4", "5", "2"}));
}

TEST_F(ProfileTest, ReadsHandWrittenFilesAsWindowsDoes)
{
    writeFile(m_file,
              "\xEF\xBB\xBF; installed by hand\r\n"
              "[title]\r\n"
              "title = Tolvan站长管理工具 \r\n"
              "[ URL ]\r\n"
              "url=http://site/login.aspx;jsessionid=1,2\r\n"
              ";url=commented out\r\n"
              "quoted=\"  kept blanks  \"\r\n"
              "path=C:\\dir\\file\r\n"
              "empty=\r\n"
              "dup=first\r\n"
              "dup=second\r\n"
              "[other]\r\n"
              "only=here\r\n"
              "[url]\r\n"
              "late=second section of the same name\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"title", "title", "Tolvan站长管理工具"},
        {"TITLE", "Title", "Tolvan站长管理工具"},
        {"url", "url", "http://site/login.aspx;jsessionid=1,2"},
        {"url", "quoted", "  kept blanks  "},
        {"url", "path", "C:\\dir\\file"},
        {"url", "empty", ""},
        {"url", "dup", "first"},
        {"url", "only", "default"},
        {"url", "late", "default"},
        {"missing", "url", "default"},
        {"url", ";url", "default"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readProfileString(m_file, c.section, c.key, "default"), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(readProfileString(m_folder.file("none.ini"), "url", "url", "default"), "default");
    EXPECT_EQ(readProfileString(m_folder.file("none.ini"), "url", "url"), "");
}

TEST_F(ProfileTest, WritesKeepEveryOtherLineAndTheKeysPlace)
{
    writeFile(m_file,
              "; settings\r\n"
              "[LinkInfo]\r\n"
              "Version=4.4.0\r\n"
              "updatexmlurl=http://127.0.0.1/update.xml\r\n"
              "Version=stale duplicate\r\n"
              "\r\n"
              "[Other]\r\n"
              "x=1");
    ASSERT_TRUE(writeProfileString(m_file, "linkinfo", "version", "4.4.1"));
    ASSERT_TRUE(writeProfileString(m_file, "LinkInfo", "pushUrl", "push.example"));
    ASSERT_TRUE(writeProfileString(m_file, "Other", "y", "2"));
    ASSERT_TRUE(writeProfileString(m_file, "New", "z", "a;b"));
    EXPECT_EQ(readFile(m_file),
              "; settings\r\n"
              "[LinkInfo]\r\n"
              "Version=4.4.1\r\n"
              "updatexmlurl=http://127.0.0.1/update.xml\r\n"
              "pushUrl=push.example\r\n"
              "\r\n"
              "[Other]\r\n"
              "x=1\r\n"
              "y=2\r\n"
              "\r\n"
              "[New]\r\n"
              "z=\"a;b\"\r\n");
    // The tray tool's reader, which minds case, still finds the key it had.
    EXPECT_EQ(qtRead(m_file, "LinkInfo/Version"), "4.4.1");
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "VERSION"), "4.4.1");
}

TEST_F(ProfileTest, SeesTheTrayToolsWritesAndTheTrayToolSeesOurs)
{
    qtWrite(m_file, {{"LinkInfo/logoutUrl", ""}, {"LinkInfo/pushUrl", ""}, {"LinkInfo/Port", ""}});
    qtWrite(m_file, {{"LinkInfo/version", "4.4.0"}, {"LinkInfo/updatexmlurl", "http://127.0.0.1/u.xml?a=1"}});
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "version"), "4.4.0");
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "updatexmlurl"), "http://127.0.0.1/u.xml?a=1");
    ASSERT_TRUE(writeProfileString(m_file, "LinkInfo", "version", "4.4.1"));
    qtWrite(m_file, {{"LinkInfo/Port", "40008"}});
    EXPECT_EQ(qtRead(m_file, "LinkInfo/version"), "4.4.1");
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "port"), "40008");
}

TEST_F(ProfileTest, ConcurrentWritesOfBothKindsLoseNothing)
{
    writeFile(m_file, "[LinkInfo]\nversion=\n");
    testsupport::RunningProgram trayTool(probeProgram(), {QString::fromStdString(m_file), "repeat",
                                                          "LinkInfo/pushUrl", "host", "100"});
    ASSERT_TRUE(trayTool.started());
    ASSERT_TRUE(testsupport::waitUntil([&] { return !readProfileString(m_file, "LinkInfo", "pushUrl").empty(); }));
    // Each of our values is one byte longer than the one before, so the Qt
    // writer always notices that the file changed.
    std::string version;
    for (int round = 0; round < 100; ++round) {
        version += "1";
        ASSERT_TRUE(writeProfileString(m_file, "LinkInfo", "version", version));
    }
    ASSERT_TRUE(trayTool.waitForExit(60000));
    EXPECT_EQ(trayTool.exitCode(), 0);
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "version"), version);
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "pushUrl"), "host099");
    EXPECT_EQ(qtRead(m_file, "LinkInfo/version"), version);
}

TEST_F(ProfileTest, AWriteWaitsForQtsLockFile)
{
    writeFile(m_file, "[LinkInfo]\nversion=1\n");
    QLockFile qtLock(QString::fromStdString(m_file + ".lock"));
    ASSERT_TRUE(qtLock.tryLock(0));
    auto write = std::async(std::launch::async, [&] { return writeProfileString(m_file, "LinkInfo", "version", "2"); });
    EXPECT_EQ(write.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    EXPECT_EQ(readFile(m_file), "[LinkInfo]\nversion=1\n");
    qtLock.unlock();
    EXPECT_TRUE(write.get());
    EXPECT_EQ(readFile(m_file), "[LinkInfo]\nversion=2\n");
}

TEST_F(ProfileTest, WritesReplaceTheFileWholeAndKeepItsMode)
{
    writeFile(m_file, "[LinkInfo]\nversion=1\n");
    ASSERT_EQ(chmod(m_file.c_str(), 0640), 0);
    ASSERT_TRUE(writeProfileString(m_file, "LinkInfo", "version", "2"));
    struct stat info {};
    ASSERT_EQ(stat(m_file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A link to the file stays a link; the file it points at changes.
    const std::string link = m_folder.file("link.ini");
    ASSERT_EQ(symlink(m_file.c_str(), link.c_str()), 0);
    ASSERT_TRUE(writeProfileString(link, "LinkInfo", "version", "3"));
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "version"), "3");

    // Nothing but the two files is left behind (QLockFile removes its lock).
    EXPECT_EQ(QDir(QString::fromStdString(m_folder.path())).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
}

TEST_F(ProfileTest, AWriteCreatesTheFileButNoFolder)
{
    const std::string created = m_folder.file("new.ini");
    ASSERT_TRUE(writeProfileString(created, "LinkInfo", "version", "1"));
    EXPECT_EQ(readFile(created), "[LinkInfo]\nversion=1\n");

    const std::string inMissingFolder = m_folder.file("missing/configure.ini");
    EXPECT_FALSE(writeProfileString(inMissingFolder, "LinkInfo", "version", "1"));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(m_folder.file("missing"))));
    EXPECT_FALSE(writeProfileString(created, "", "version", "1"));
    EXPECT_FALSE(writeProfileString(created, "LinkInfo", " ", "1"));
}

TEST_F(ProfileTest, ReadsFitTheBuffer)
{
    const std::string longAscii(300, 'x');
    std::string longChinese;
    for (int i = 0; i < 100; ++i)
        longChinese += "站";  // 3 bytes each: 259 falls inside the 87th
    ASSERT_TRUE(writeProfileString(m_file, "LinkInfo", "ascii", longAscii));
    ASSERT_TRUE(writeProfileString(m_file, "LinkInfo", "chinese", longChinese));
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "ascii"), longAscii.substr(0, 259));
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "chinese"), longChinese.substr(0, 258));
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "ascii", {}, 5), "xxxx");
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "missing", longAscii), longAscii.substr(0, 259));
    EXPECT_EQ(qtRead(m_file, "LinkInfo/ascii"), longAscii);
}

TEST_F(ProfileTest, UnderAChineseLocaleValuesAreGbkAndTheFileStaysUtf8)
{
    GbkLocaleScope gbk;
    if (!gbk.available())
        GTEST_SKIP() << GbkLocaleScope::kSkipMessage;
    const std::string titleGbk = "Tolvan\xD5\xBE\xB3\xA4\xB9\xDC\xC0\xED\xB9\xA4\xBE\xDF";
    const std::string titleUtf8 = "Tolvan站长管理工具";
    ASSERT_TRUE(writeProfileString(m_file, "title", "title", titleGbk));
    EXPECT_EQ(qtRead(m_file, "title/title"), titleUtf8);
    qtWrite(m_file, {{"LinkInfo/username", "站长"}});
    EXPECT_EQ(readProfileString(m_file, "LinkInfo", "username"), "\xD5\xBE\xB3\xA4");
    EXPECT_EQ(readProfileString(m_file, "title", "title"), titleGbk);

    // A file saved in the ANSI code page reads as it stands.
    writeFile(m_folder.file("gbk.ini"), "[title]\ntitle=" + titleGbk + "\n");
    EXPECT_EQ(readProfileString(m_folder.file("gbk.ini"), "title", "title"), titleGbk);
}

} // namespace
