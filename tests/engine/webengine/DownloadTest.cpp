// Downloads reach the client's download handler byte by byte, in order.
#include "EngineWorld.h"

#include <QDir>

#include <random>

namespace enginetest {
namespace {

using Record = RecordingDownload::Record;

std::string randomBytes(std::size_t size)
{
    std::mt19937 generator(1234);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = char(generator() & 0xFF);
    return bytes;
}

testsupport::HttpResponse fileResponse(const std::string& bytes, long long dropAfter = -1)
{
    testsupport::HttpResponse response;
    response.contentType = "application/octet-stream";
    response.headers = {{"Content-Disposition", "attachment; filename=\"report.xls\""}};
    response.body = bytes;
    response.pieceSize = 64 * 1024;
    response.pieceDelayMs = 5;
    response.dropAfter = dropAfter;
    return response;
}

// Loads a page, then the download; the page stays.
void startDownload(const std::string& path)
{
    testsupport::HttpResponse page;
    page.body = testsupport::htmlPage("<p>download page</p>");
    world().server->route("/download-page", page);
    ASSERT_TRUE(loadPage(world().server->url("/download-page")));
    world().browser->GetMainFrame()->LoadURL(world().server->url(path));
}

bool privateDownloadsGone()
{
    const QString folder = QString::fromStdString(world().cacheFolder->path()) + "/WebKitCache/EngineDownloads";
    return QDir(folder).entryList(QDir::Files).isEmpty();
}

TEST(Downloads, FileReachesTheHandlerByteExactAndInOrder)
{
    const std::string bytes = randomBytes(3 * 1024 * 1024 + 123);
    world().server->route("/report.bin", fileResponse(bytes));
    auto record = std::make_shared<Record>();
    world().client->downloads = [record](const std::string&) { return new RecordingDownload(record); };
    startDownload("/report.bin");
    ASSERT_TRUE(testsupport::waitUntil([&] { return record->released; }, kPageTimeout));
    world().client->downloads = nullptr;

    EXPECT_EQ(world().client->downloadNames, std::vector<std::string>{"report.xls"});
    EXPECT_TRUE(record->completed);
    EXPECT_GT(record->pieces, 1);
    EXPECT_EQ(record->bytes.size(), bytes.size());
    EXPECT_TRUE(record->bytes == bytes);
    EXPECT_EQ(utf8(world().browser->GetMainFrame()->GetURL()), world().server->url("/download-page"));
    EXPECT_TRUE(testsupport::waitUntil(privateDownloadsGone));
}

TEST(Downloads, DownloadsThatDoNotFinishEndWithoutComplete)
{
    const std::string bytes = randomBytes(2 * 1024 * 1024);
    world().server->route("/broken.bin", fileResponse(bytes, 512 * 1024));
    world().server->route("/whole.bin", fileResponse(bytes));
    struct Case {
        const char* name;
        const char* path;
        long long cancelAfter;  // the handler refuses more after this many bytes
    };
    for (const Case& c : {Case{"transfer broken", "/broken.bin", -1},
                          Case{"handler cancels", "/whole.bin", 256 * 1024}}) {
        SCOPED_TRACE(c.name);
        auto record = std::make_shared<Record>();
        world().client->downloads = [record, c](const std::string&) {
            return new RecordingDownload(record, c.cancelAfter);
        };
        startDownload(c.path);
        ASSERT_TRUE(testsupport::waitUntil([&] { return record->released; }, kPageTimeout));
        EXPECT_FALSE(record->completed);
        EXPECT_LT(record->bytes.size(), bytes.size());
        EXPECT_TRUE(bytes.compare(0, record->bytes.size(), record->bytes) == 0);
        EXPECT_TRUE(testsupport::waitUntil(privateDownloadsGone));
    }
    world().client->downloads = nullptr;
}

TEST(Downloads, WithoutHandlerNothingIsStored)
{
    world().server->route("/unwanted.bin", fileResponse(randomBytes(100 * 1024)));
    startDownload("/unwanted.bin");
    ASSERT_TRUE(testsupport::waitUntil([] { return !world().client->downloadNames.empty(); }, kPageTimeout));
    EXPECT_TRUE(testsupport::waitUntil(privateDownloadsGone));
}

} // namespace
} // namespace enginetest
