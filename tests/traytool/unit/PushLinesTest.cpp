#include "traytool/push/PushLines.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

const push::LineValues kPlain{"U200", "4.4.0", "site-pc"};

TEST(PushLines, StatusLineHasFiveMembersInOrderAndOneLineFeed)
{
    EXPECT_EQ(push::statusLine(kPlain, "2").toStdString(),
              R"({"channelNo":"05","memberId":"U200","version":"4.4.0","computerName":"site-pc","status":"2"})"
              "\n");
    EXPECT_EQ(push::statusLine(kPlain, "4").toStdString(),
              R"({"channelNo":"05","memberId":"U200","version":"4.4.0","computerName":"site-pc","status":"4"})"
              "\n");
}

TEST(PushLines, AckLineHasSixMembersWithNumericStatus)
{
    EXPECT_EQ(push::ackLine(kPlain, "77").toStdString(),
              R"({"channelNo":"05","memberId":"U200","id":"77","version":"4.4.0","computerName":"site-pc","status":3})"
              "\n");
    // An unreadable message is still acknowledged, with an empty id.
    EXPECT_EQ(push::ackLine({"100000001", "new", "pc"}, "").toStdString(),
              R"({"channelNo":"05","memberId":"100000001","id":"","version":"new","computerName":"pc","status":3})"
              "\n");
}

TEST(PushLines, ValuesAreEscapedSoTheLineStaysValidJson)
{
    const push::LineValues awkward{R"(U"2\00)", "1.0\t", QString::fromUtf8("站点-PC\n")};
    const QString id = QStringLiteral("a\"}{\x01");
    for (const QString& line : {push::statusLine(awkward, "2"), push::ackLine(awkward, id)}) {
        SCOPED_TRACE(line.toStdString());
        ASSERT_TRUE(line.endsWith('\n'));
        EXPECT_EQ(line.count('\n'), 1);  // the escaped line feed stays inside its value
        QJsonParseError error{};
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError);
        EXPECT_EQ(object.value("memberId").toString(), awkward.memberId);
        EXPECT_EQ(object.value("version").toString(), awkward.version);
        EXPECT_EQ(object.value("computerName").toString(), awkward.computerName);
    }
    EXPECT_EQ(push::statusLine(awkward, "2").toUtf8().toStdString(),
              "{\"channelNo\":\"05\",\"memberId\":\"U\\\"2\\\\00\",\"version\":\"1.0\\t\","
              "\"computerName\":\"站点-PC\\n\",\"status\":\"2\"}\n");
    EXPECT_TRUE(push::ackLine(awkward, id).contains(R"("id":"a\"}{\u0001")"));
}

} // namespace
