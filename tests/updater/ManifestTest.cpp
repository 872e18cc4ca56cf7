// Reading update.xml and deciding whether it offers another version.
#include "TestSupport.h"

#include "updater/InstalledVersion.h"
#include "updater/ParseManifest.h"
#include "updater/UpdaterGlobals.h"

#include <gtest/gtest.h>

using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

constexpr const char* kUnchanged = "(unchanged)";

class ManifestTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(m_folder.path());
        installVersion("4.4.0");
        g_strLastError = kUnchanged;
        g_strServerVersion.clear();
    }

    void installVersion(const std::string& version)
    {
        writeFile(m_folder.file("configure.ini"),
                  "[LinkInfo]\nupdatexmlurl=http://127.0.0.1/update.xml\n" +
                      (version.empty() ? std::string() : "version=" + version + "\n"));
    }

    bool parse(const std::string& xml)
    {
        writeFile(m_folder.file("update.xml"), xml);
        return ParseManifest(m_folder.file("update.xml"));
    }

    TempFolder m_folder{"fetchwell-manifest"};
};

TEST_F(ManifestTest, PositionsNotNamesDecide)
{
    ASSERT_TRUE(parse(R"(<?xml version="1.0" encoding="UTF-8"?>
<anything>
  <!-- the version comes first -->
  <v platform="x86" smallversion="1" minorversion="4" majorversion="4"/>
  <list>
    <f url="http://127.0.0.1/TolvanClient" name="TolvanClient" postfix="exe" status="1"
       storagelocation="root" md5="0123456789abcdef0123456789ABCDEF"/>
    <g name="plugins\看板.dll"/>
  </list>
  <list><ignored url="http://127.0.0.1/x" name="x"/></list>
</anything>)"));
    EXPECT_EQ(g_strServerVersion, "4.4.1");
    ASSERT_EQ(g_updateFiles.size(), 2u);
    const UpdateFileInfo& first = g_updateFiles[0];
    EXPECT_EQ(first.strUrl, "http://127.0.0.1/TolvanClient");
    EXPECT_EQ(first.strName, "TolvanClient");
    EXPECT_EQ(first.strPostfix, "exe");
    EXPECT_EQ(first.strStatus, "1");
    EXPECT_EQ(first.strStorageLocation, "root");
    EXPECT_EQ(first.strMd5, "0123456789abcdef0123456789ABCDEF");
    // Missing attributes read as empty text.
    const UpdateFileInfo& second = g_updateFiles[1];
    EXPECT_EQ(second.strName, "plugins\\看板.dll");
    EXPECT_EQ(second.strUrl, "");
    EXPECT_EQ(second.strMd5, "");
}

TEST_F(ManifestTest, EmptyFileListStillOffersTheVersion)
{
    EXPECT_TRUE(parse(R"(<r><v majorversion="5" minorversion="0" smallversion="0"/><files/></r>)"));
    EXPECT_EQ(g_strServerVersion, "5.0.0");
    EXPECT_TRUE(g_updateFiles.empty());
}

struct VersionCase {
    const char* installed;
    const char* manifestVersion;  // attributes of the version element
    bool offered;
    const char* serverVersion;
};

void PrintTo(const VersionCase& value, std::ostream* out)
{
    *out << "installed \"" << value.installed << "\", manifest " << value.manifestVersion;
}

class VersionComparisonTest : public ManifestTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionComparisonTest, AnyByteDifferenceIsANewVersion)
{
    installVersion(GetParam().installed);
    const bool offered = parse(std::string("<r><v ") + GetParam().manifestVersion +
                               "/><files><f name=\"a\" url=\"http://127.0.0.1/a\"/></files></r>");
    EXPECT_EQ(offered, GetParam().offered);
    EXPECT_EQ(g_strServerVersion, GetParam().serverVersion);
    EXPECT_EQ(IsNewVersion(), GetParam().offered);
    if (!GetParam().offered) {
        EXPECT_EQ(g_strLastError, "当前版本为最新版本，无需更新");
        EXPECT_TRUE(g_updateFiles.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VersionComparisonTest,
    ::testing::Values(
        VersionCase{"4.4.0", R"(majorversion="4" minorversion="4" smallversion="0")", false, "4.4.0"},
        VersionCase{"4.4.1", R"(majorversion="4" minorversion="4" smallversion="0")", true, "4.4.0"},
        VersionCase{"4.4.0", R"(majorversion="4" minorversion="4" smallversion="00")", true, "4.4.00"},
        VersionCase{"", R"(majorversion="4" minorversion="4" smallversion="0")", true, "4.4.0"},
        VersionCase{"..", "", false, ".."}));

struct BrokenManifest {
    const char* name;
    const char* xml;
    const char* lastError;  // kUnchanged: the last error stays as it was
};

// Test names show the case, not its bytes.
void PrintTo(const BrokenManifest& value, std::ostream* out) { *out << value.name; }

class BrokenManifestTest : public ManifestTest, public ::testing::WithParamInterface<BrokenManifest> {};

TEST_P(BrokenManifestTest, IsRefusedWithItsText)
{
    EXPECT_FALSE(parse(GetParam().xml));
    EXPECT_EQ(g_strLastError, GetParam().lastError);
    EXPECT_TRUE(g_updateFiles.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Manifests, BrokenManifestTest,
    ::testing::Values(
        BrokenManifest{"NoRoot", "<?xml version=\"1.0\"?>\n<!-- nothing else -->\n", kUnchanged},
        BrokenManifest{"RootWithoutChildren", "<root/>", kUnchanged},
        BrokenManifest{"RootWithTextOnly", "<root>text</root>", kUnchanged},
        BrokenManifest{"NoFileList", R"(<r><v majorversion="9" minorversion="9" smallversion="9"/></r>)", kUnchanged},
        BrokenManifest{"EscapingName",
                       R"(<r><v majorversion="9" minorversion="0" smallversion="0"/><l>
                          <f name="a.dll" url="http://127.0.0.1/a"/><f name="..\..\etc\passwd" url="http://127.0.0.1/p"/>
                          </l></r>)",
                       "更新文件名无效：..\\..\\etc\\passwd"},
        BrokenManifest{"SameFileTwice",
                       R"(<r><v majorversion="9" minorversion="0" smallversion="0"/><l>
                          <f name="bin/a.dll"/><f name="bin\a.dll"/></l></r>)",
                       "更新文件名无效：bin\\a.dll"},
        BrokenManifest{"VersionWithLineBreak",
                       R"(<r><v majorversion="9" minorversion="0" smallversion="0&#10;updatexmlurl=x"/><l/></r>)",
                       "更新版本号无效：9.0.0\nupdatexmlurl=x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ManifestTest, MalformedXmlReportsTheLibraryTextAndLine)
{
    EXPECT_FALSE(parse("<root>\n  <v majorversion=\"4\"/>\n  <files>\n    <file name=\"a\" </files>\n</root>\n"));
    const std::string suffix = "错误行为：4";
    ASSERT_GT(g_strLastError.size(), suffix.size());
    EXPECT_EQ(g_strLastError.substr(g_strLastError.size() - suffix.size()), suffix) << g_strLastError;
}

} // namespace
