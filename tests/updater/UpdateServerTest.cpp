// The demo update server, spoken to over raw TCP as any HTTP client would.
#include "TestSupport.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace testsupport;

namespace {

struct Response {
    int status = 0;
    QByteArray head;
    QByteArray body;
};

class UpdateServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_root.file("served/files/plugins"));
        writeFile(m_root.file("served/update.xml"), "<update/>\n");
        m_big.resize(3 * 1024 * 1024 + 17);
        for (std::size_t i = 0; i < m_big.size(); ++i)
            m_big[i] = char(i * 7 + i / 4096);
        writeFile(m_root.file("served/files/plugins/big.dll"), m_big);
        writeFile(m_root.file("secret.txt"), "outside the served folder");
        fs::create_symlink(m_root.file("secret.txt"), m_root.file("served/link.txt"));

        m_demo = std::make_unique<RunningProgram>(
            std::string(TOLVAN_DEMO_DIR) + "/tolvan-demo",
            QStringList{"--push-port", "0", "--push-control-port", "0", "--site-port", "0", "--update-folder", QString::fromStdString(m_root.file("served")), "--update-port", "0"});
        const auto line = m_demo->waitForLine("serving", 20000);
        const auto match = QRegularExpression("127\\.0\\.0\\.1:(\\d+)/").match(QString::fromStdString(line.value_or("")));
        ASSERT_TRUE(match.hasMatch()) << m_demo->standardError();
        m_port = quint16(match.captured(1).toUInt());
    }

    Response request(const QByteArray& requestText)
    {
        QTcpSocket socket;
        socket.connectToHost("127.0.0.1", m_port);
        EXPECT_TRUE(socket.waitForConnected(10000));
        socket.write(requestText);
        QByteArray data;
        while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000))
            data += socket.readAll();
        data += socket.readAll();
        Response response;
        const qsizetype headEnd = data.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return response;
        response.head = data.left(headEnd + 2);
        response.body = data.mid(headEnd + 4);
        response.status = response.head.mid(9, 3).toInt();
        return response;
    }

    Response get(const QByteArray& target)
    {
        return request("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: test\r\n\r\n");
    }

    TempFolder m_root{"update-server"};
    std::string m_big;
    std::unique_ptr<RunningProgram> m_demo;
    quint16 m_port = 0;
};

TEST_F(UpdateServerTest, ServesFilesWithTheirLengthAndLogsEachRequest)
{
    const Response manifest = get("/update.xml");
    EXPECT_EQ(manifest.status, 200);
    EXPECT_TRUE(manifest.head.contains("Content-Length: 10\r\n")) << manifest.head.toStdString();
    EXPECT_EQ(manifest.body, "<update/>\n");

    const Response big = get("/files/plugins/big.dll?v=2");
    EXPECT_EQ(big.status, 200);
    EXPECT_TRUE(big.head.contains("Content-Length: " + QByteArray::number(qsizetype(m_big.size())) + "\r\n"));
    EXPECT_TRUE(big.body.toStdString() == m_big) << "body of " << big.body.size() << " bytes";

    const Response head = request("HEAD /update.xml HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_EQ(head.status, 200);
    EXPECT_TRUE(head.head.contains("Content-Length: 10\r\n"));
    EXPECT_TRUE(head.body.isEmpty());

    EXPECT_EQ(get("/files/missing.dll").status, 404);

    EXPECT_TRUE(m_demo->waitForLine("GET /update.xml 200 10 bytes"));
    EXPECT_TRUE(m_demo->waitForLine("GET /files/plugins/big.dll?v=2 200 " + std::to_string(m_big.size()) + " bytes"));
    EXPECT_TRUE(m_demo->waitForLine("HEAD /update.xml 200"));
    EXPECT_TRUE(m_demo->waitForLine("GET /files/missing.dll 404"));
}

TEST_F(UpdateServerTest, NothingOutsideTheFolderIsServed)
{
    for (const QByteArray target : {"/../secret.txt", "/files/../../secret.txt", "/%2e%2e/secret.txt",
                                    "/files/..%2f..%2fsecret.txt", "/files\\..\\..\\secret.txt",
                                    "/files%5c..%5c..%5csecret.txt", "/link.txt", "/./update.xml",
                                    "/update.xml%00.txt", "update.xml", "/", "/files"}) {
        const Response response = get(target);
        EXPECT_EQ(response.status, 404) << target.toStdString();
        EXPECT_FALSE(response.body.contains("outside")) << target.toStdString();
    }
    EXPECT_EQ(request("DELETE /update.xml HTTP/1.1\r\n\r\n").status, 405);
    EXPECT_EQ(request("nonsense\r\n\r\n").status, 400);
    EXPECT_EQ(request("GET /" + QByteArray(20000, 'a')).status, 431);
}

} // namespace
