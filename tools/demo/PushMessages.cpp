#include "PushMessages.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace demo {
namespace {

struct SampleMessage {
    const char* type;
    const char* title;
    const char* subtitle;
    const char* content;
    const char* taskNum;
};

constexpr SampleMessage kSamples[] = {
    {"110", "新的揽收任务", "上门揽收", "您有新的上门揽收任务，请尽快安排取件。", "3"},
    {"111", "待派送提醒", "派送任务", "有包裹到站待派送，请及时通知收件人取件。", "5"},
    {"113", "新的抢单消息", "寄件订单", "附近有新的寄件订单，快来抢单吧！", "1"},
    {"116", "抢单成功", "寄件订单", "恭喜您抢单成功，请按约定时间上门取件。", "1"},
};

const SampleMessage* sampleFor(const QString& type)
{
    for (const SampleMessage& sample : kSamples) {
        if (type == QLatin1String(sample.type))
            return &sample;
    }
    return nullptr;
}

} // namespace

bool isKnownPushType(const QString& type) { return sampleFor(type) != nullptr; }

QByteArray statusReply(const QString& memberId, const QString& status)
{
    QJsonObject reply{{"channelNo", "05"}, {"memberId", memberId}, {"status", status}};
    return QJsonDocument(reply).toJson(QJsonDocument::Compact);
}

QByteArray pushedMessage(const QString& memberId, const QString& type, const QString& id,
                         const QString& taskNum)
{
    const SampleMessage* sample = sampleFor(type);
    if (!sample)
        return {};
    QJsonObject message{
        {"channelNo", "05"},
        {"memberId", memberId},
        {"id", id},
        {"documentId", "DOC" + id},
        {"status", "1"},
        {"pushType", "1"},
        {"type", type},
        {"title", QString::fromUtf8(sample->title)},
        {"subtitle", QString::fromUtf8(sample->subtitle)},
        {"content", QString::fromUtf8(sample->content)},
        {"taskNum", taskNum.isEmpty() ? QString::fromUtf8(sample->taskNum) : taskNum},
    };
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

} // namespace demo
