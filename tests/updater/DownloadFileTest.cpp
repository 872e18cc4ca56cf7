// DownloadFile against real HTTP servers on 127.0.0.1: what counts as a
// complete download, and that a failed one never replaces the file there.
#include "ScriptedHttpServer.h"
#include "TestSupport.h"

#include "updater/DownloadFile.h"
#include "updater/UpdaterGlobals.h"

#include <gtest/gtest.h>

#include <filesystem>

using testsupport::readFile;
using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class DownloadFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(m_folder.path());
        g_strLastError.clear();
    }

    TempFolder m_folder{"fetchwell-download"};
    ScriptedHttpServer m_server;
};

TEST_F(DownloadFileTest, CompleteBodyReplacesTheFileAndAsksTheServerNotToUseACache)
{
    const std::string body(300000, 'x');
    m_server.setReply("/big.bin", {200, body});
    const std::string path = m_folder.file("big.bin");
    writeFile(path, "stale content from an earlier run");

    std::string error;
    ASSERT_TRUE(DownloadFile(m_server.url("/big.bin"), path, &error)) << error;
    EXPECT_EQ(readFile(path), body);
    EXPECT_EQ(filesIn(m_folder.path()), std::vector<std::string>{"big.bin"});  // no temporary left

    const auto requests = m_server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].head.find("GET /big.bin HTTP/1.1"), std::string::npos);
    EXPECT_NE(requests[0].head.find("User-Agent: test\r\n"), std::string::npos);
    EXPECT_NE(requests[0].head.find("Cache-Control: no-cache\r\n"), std::string::npos);
    EXPECT_NE(requests[0].head.find("Pragma: no-cache\r\n"), std::string::npos);
    EXPECT_TRUE(g_strLastError.empty());
}

TEST_F(DownloadFileTest, BodyWithoutLengthEndsWithTheConnection)
{
    m_server.setReply("/plain", {200, "until the end", {}, true});
    ASSERT_TRUE(DownloadFile(m_server.url("/plain"), m_folder.file("plain")));
    EXPECT_EQ(readFile(m_folder.file("plain")), "until the end");
}

struct FailedReply {
    const char* name;
    ScriptedHttpServer::Reply reply;
    const char* errorPart;
};

// Test names show the case, not its bytes.
void PrintTo(const FailedReply& value, std::ostream* out) { *out << value.name; }

class DownloadFailureTest : public DownloadFileTest, public ::testing::WithParamInterface<FailedReply> {};

TEST_P(DownloadFailureTest, LeavesTheOldFileAndNoTemporary)
{
    m_server.setReply("/file", GetParam().reply);
    const std::string path = m_folder.file("file");
    writeFile(path, "old");

    std::string error;
    EXPECT_FALSE(DownloadFile(m_server.url("/file"), path, &error));
    EXPECT_NE(error.find(GetParam().errorPart), std::string::npos) << error;
    EXPECT_EQ(readFile(path), "old");
    EXPECT_EQ(filesIn(m_folder.path()), std::vector<std::string>{"file"});
    // Only an address that is not one sets the last error.
    EXPECT_TRUE(g_strLastError.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, DownloadFailureTest,
    ::testing::Values(FailedReply{"NotFound", {404, "missing"}, "HTTP 404"},
                      FailedReply{"ServerError", {500, "broken"}, "HTTP 500"},
                      FailedReply{"DroppedMidFile", {200, std::string(5000, 'y'), 100000}, "partial"},
                      FailedReply{"EmptyBodyOfAnnouncedLength", {200, "", 10}, "partial"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloadFileTest, AddressesThatAreNotWebAddressesSetTheUrlError)
{
    for (const std::string url : {"", "not an address", "ftp://127.0.0.1/update.xml", "http://", "file:///etc/passwd"}) {
        g_strLastError.clear();
        std::string error;
        EXPECT_FALSE(DownloadFile(url, m_folder.file("out"), &error)) << url;
        EXPECT_EQ(g_strLastError, "URLERR：" + url);
        EXPECT_EQ(error, g_strLastError);
    }
    EXPECT_FALSE(std::filesystem::exists(m_folder.file("out")));
}

TEST_F(DownloadFileTest, UnreachableServerAndMissingFolderFail)
{
    std::string unreachable;
    {
        ScriptedHttpServer gone;  // nothing listens there once it is gone
        unreachable = gone.url("/update.xml");
    }
    std::string error;
    EXPECT_FALSE(DownloadFile(unreachable, m_folder.file("a"), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(m_folder.file("a")));

    m_server.setReply("/x", {200, "x"});
    EXPECT_FALSE(DownloadFile(m_server.url("/x"), m_folder.file("no-such-folder/x"), &error));
    EXPECT_TRUE(g_strLastError.empty());
}

TEST_F(DownloadFileTest, HttpsAddressesSpeakTlsToTheGivenPort)
{
    const std::string url = "https://127.0.0.1:" + std::to_string(m_server.port()) + "/update.xml";
    EXPECT_FALSE(DownloadFile(url, m_folder.file("update.xml")));
    const auto openings = m_server.openings();
    ASSERT_FALSE(openings.empty());
    // A TLS handshake record, not "GET ".
    EXPECT_EQ(openings[0][0], '\x16');
    EXPECT_TRUE(m_server.requests().empty());
}

TEST_F(DownloadFileTest, HttpsChecksTheServerCertificate)
{
    // A server whose certificate no authority signed: with the checks in
    // place the download fails on the certificate, not on the connection.
    TempFolder keys{"fetchwell-tls"};
    auto made = testsupport::runProgram(
        "openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                    "-keyout", QString::fromStdString(keys.file("key.pem")), "-out",
                    QString::fromStdString(keys.file("cert.pem"))});
    if (made.exitCode != 0)
        GTEST_SKIP() << "openssl cannot make a certificate: " << made.err;

    int port = 0;
    {
        ScriptedHttpServer probe;  // a free port, released at once
        port = probe.port();
    }
    testsupport::RunningProgram tlsServer(
        "openssl", {"s_server", "-www", "-accept", QString::number(port), "-cert",
                    QString::fromStdString(keys.file("cert.pem")), "-key",
                    QString::fromStdString(keys.file("key.pem"))});
    ASSERT_TRUE(tlsServer.waitForLine("ACCEPT", 20000)) << tlsServer.standardError();

    std::string error;
    EXPECT_FALSE(DownloadFile("https://127.0.0.1:" + std::to_string(port) + "/", m_folder.file("page"), &error));
    EXPECT_NE(error.find("certificate"), std::string::npos) << error;
}

} // namespace
