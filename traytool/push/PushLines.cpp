#include "traytool/push/PushLines.h"

namespace push {
namespace {

QString quoted(const QString& text) { return '"' + jsonEscaped(text) + '"'; }

} // namespace

QString jsonEscaped(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case '"': escaped += QLatin1String("\\\""); break;
        case '\\': escaped += QLatin1String("\\\\"); break;
        case '\b': escaped += QLatin1String("\\b"); break;
        case '\f': escaped += QLatin1String("\\f"); break;
        case '\n': escaped += QLatin1String("\\n"); break;
        case '\r': escaped += QLatin1String("\\r"); break;
        case '\t': escaped += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                escaped += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                escaped += c;
        }
    }
    return escaped;
}

QString statusLine(const LineValues& values, const QString& status)
{
    return "{\"channelNo\":" + quoted(kChannelNo) + ",\"memberId\":" + quoted(values.memberId) +
           ",\"version\":" + quoted(values.version) + ",\"computerName\":" +
           quoted(values.computerName) + ",\"status\":" + quoted(status) + "}\n";
}

QString ackLine(const LineValues& values, const QString& id)
{
    return "{\"channelNo\":" + quoted(kChannelNo) + ",\"memberId\":" + quoted(values.memberId) +
           ",\"id\":" + quoted(id) + ",\"version\":" + quoted(values.version) +
           ",\"computerName\":" + quoted(values.computerName) + ",\"status\":3}\n";
}

} // namespace push
