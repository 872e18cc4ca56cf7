#include "traytool/push/PushParser.h"

#include <gtest/gtest.h>

namespace {

struct FieldCase {
    const char* text;
    const char* field;
    const char* expected;
};

class FieldReading : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldReading, ReadsAsPageScriptWould)
{
    const FieldCase& c = GetParam();
    EXPECT_EQ(CPushParser::readField(QString::fromUtf8(c.text), c.field).toStdString(), c.expected)
        << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    PushParser, FieldReading,
    ::testing::Values(
        FieldCase{R"({"id":"77","content":"x"})", "id", "77"},
        FieldCase{R"({"id":77,"content":"x"})", "id", "77"},
        FieldCase{R"({"taskNum":1.5})", "taskNum", "1.5"},
        FieldCase{R"({"n":-0.25})", "n", "-0.25"},
        FieldCase{R"({"n":1e21})", "n", "1e+21"},
        FieldCase{R"({"n":1e20})", "n", "100000000000000000000"},
        FieldCase{R"({"n":0.000001})", "n", "0.000001"},
        FieldCase{R"({"n":1.5e-7})", "n", "1.5e-7"},
        FieldCase{R"({"n":-0})", "n", "0"},
        // Long ids stay exact.
        FieldCase{R"({"id":9007199254740993})", "id", "9007199254740993"},
        FieldCase{R"({"b":true,"c":false})", "b", "true"},
        FieldCase{R"({"b":true,"c":false})", "c", "false"},
        FieldCase{R"({"v":null})", "v", "null"},
        FieldCase{R"({"v":[1,"a",null]})", "v", "1,a,"},
        FieldCase{R"({"v":{"w":1}})", "v", "[object Object]"},
        FieldCase{R"({"title":"\u65b0\u4efb\u52a1","content":"请及时处理"})", "title", "新任务"},
        FieldCase{R"({"title":"新任务"})", "content", ""},      // absent
        FieldCase{R"([{"id":"1"}])", "id", ""},                // not an object
        FieldCase{R"("id")", "id", ""},
        FieldCase{"", "id", ""},
        FieldCase{R"({"id":"1"}{"id":"2"})", "id", ""},        // not one object
        FieldCase{R"({"id":"1","content":)", "id", ""},        // cut off
        // Script is never run: an expression is simply not JSON.
        FieldCase{R"({"id":(function(){return "7"})()})", "id", ""},
        FieldCase{R"({id:"7"})", "id", ""}));

TEST(PushParser, StatusReplyFields)
{
    CPushParser reply;
    reply.parseStatusReply(R"({"channelNo":"05","memberId":"U200","status":"20"})");
    EXPECT_EQ(reply.channelNo(), "05");
    EXPECT_EQ(reply.memberId(), "U200");
    EXPECT_EQ(reply.status(), "20");
    reply.parseStatusReply("not json");
    EXPECT_EQ(reply.status(), "");
}

TEST(PushParser, PushedMessagesAreTheTextsWithContent)
{
    EXPECT_TRUE(CPushParser::isPushedMessage(R"({"id":"1","content":"x"})"));
    EXPECT_TRUE(CPushParser::isPushedMessage(R"({"status":"4","note":"no content"})"));
    EXPECT_FALSE(CPushParser::isPushedMessage(R"({"status":"4","Content":"x"})"));
}

} // namespace
