#include "traytool/push/PushFramer.h"

#include <gtest/gtest.h>

namespace {

QList<QByteArray> feedAll(push::PushFramer& framer, const QList<QByteArray>& reads)
{
    QList<QByteArray> objects;
    for (const QByteArray& read : reads)
        objects += framer.feed(read).objects;
    return objects;
}

TEST(PushFramer, SplitsOneReadIntoItsObjectsInOrder)
{
    push::PushFramer framer;
    const QByteArray status = R"({"channelNo":"05","memberId":"U200","status":"4"})";
    const QByteArray first = R"({"id":"1","content":"a"})";
    const QByteArray second = R"({"id":2,"content":"b","extra":{"k":"v"}})";
    const auto objects = feedAll(framer, {status + first + "\n" + second});
    ASSERT_EQ(objects.size(), 3);
    EXPECT_EQ(objects[0], status);
    EXPECT_EQ(objects[1], first);
    EXPECT_EQ(objects[2], second);
    EXPECT_EQ(framer.pendingBytes(), 0);
}

TEST(PushFramer, AnObjectCutOffWaitsForTheNextRead)
{
    // Braces and escaped quotes inside strings do not end the object, and a
    // cut may fall anywhere, also inside an escape.
    const QByteArray message = R"({"id":"9","content":"a } \" { \\","title":"新"})";
    for (qsizetype cut = 1; cut < message.size(); ++cut) {
        push::PushFramer framer;
        const auto head = framer.feed(message.left(cut));
        EXPECT_TRUE(head.objects.isEmpty()) << cut;
        const auto tail = framer.feed(message.mid(cut) + R"( {"status":"0"})");
        ASSERT_EQ(tail.objects.size(), 2) << cut;
        EXPECT_EQ(tail.objects[0], message);
        EXPECT_EQ(tail.objects[1], R"({"status":"0"})");
    }
}

TEST(PushFramer, SkipsWhatLiesBetweenObjects)
{
    push::PushFramer framer;
    const auto objects = feedAll(framer, {QByteArray("\r\n  \0", 5) + R"({"a":1})" + "}junk", R"({"b":2})"});
    ASSERT_EQ(objects.size(), 2);
    EXPECT_EQ(objects[0], R"({"a":1})");
    EXPECT_EQ(objects[1], R"({"b":2})");
}

TEST(PushFramer, DropsAnObjectThatStaysIncompletePastTheLimit)
{
    push::PushFramer framer;
    const QByteArray start = R"({"content":")";
    QByteArray filler(push::PushFramer::kMaxObjectBytes, 'x');
    auto result = framer.feed(start + filler.left(filler.size() / 2));
    EXPECT_FALSE(result.droppedOverlong);
    result = framer.feed(filler.mid(filler.size() / 2));
    EXPECT_TRUE(result.droppedOverlong);
    EXPECT_LE(framer.pendingBytes(), push::PushFramer::kMaxObjectBytes);
    // The stream is taken up again at the next object.
    result = framer.feed(R"(" } {"status":"0"})");
    ASSERT_EQ(result.objects.size(), 1);
    EXPECT_EQ(result.objects[0], R"({"status":"0"})");
}

TEST(PushFramer, ResetForgetsAPartialObject)
{
    push::PushFramer framer;
    framer.feed(R"({"content":"cut)");
    framer.reset();
    const auto result = framer.feed(R"({"status":"0"})");
    ASSERT_EQ(result.objects.size(), 1);
    EXPECT_EQ(result.objects[0], R"({"status":"0"})");
}

} // namespace
