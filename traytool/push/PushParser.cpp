#include "traytool/push/PushParser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace push {

QString scriptNumberText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (value == 0)
        return QStringLiteral("0");  // also -0
    const bool negative = value < 0;
    // The shortest digits that read back as the same number, and the decimal
    // exponent: value = 0.d1d2...dk * 10^n.
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific);
    const std::string scientific(buffer, end);
    const auto e = scientific.find('e');
    std::string digits = scientific.substr(0, e);
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const int k = int(digits.size());
    const int n = std::stoi(scientific.substr(e + 1)) + 1;

    std::string text;
    if (k <= n && n <= 21) {
        text = digits + std::string(std::size_t(n - k), '0');
    } else if (0 < n && n <= 21) {
        text = digits.substr(0, std::size_t(n)) + "." + digits.substr(std::size_t(n));
    } else if (-6 < n && n <= 0) {
        text = "0." + std::string(std::size_t(-n), '0') + digits;
    } else {
        const int exponent = n - 1;
        text = digits.substr(0, 1);
        if (k > 1)
            text += "." + digits.substr(1);
        text += exponent < 0 ? "e-" : "e+";
        text += std::to_string(std::abs(exponent));
    }
    return QString::fromStdString(negative ? "-" + text : text);
}

namespace {

QString scriptText(const QJsonValue& value, bool inArray = false)
{
    switch (value.type()) {
    case QJsonValue::String: return value.toString();
    case QJsonValue::Bool: return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double: {
        // Integers the parser kept exactly (ids beyond 2^53) stay exact.
        const qint64 integer = value.toInteger(std::numeric_limits<qint64>::min());
        if (integer != std::numeric_limits<qint64>::min() && std::fabs(double(integer)) < 1e21)
            return QString::number(integer);
        return scriptNumberText(value.toDouble());
    }
    case QJsonValue::Null: return inArray ? QString() : QStringLiteral("null");
    case QJsonValue::Array: {
        QStringList items;
        for (const QJsonValue& item : value.toArray())
            items << scriptText(item, true);
        return items.join(',');
    }
    case QJsonValue::Object: return QStringLiteral("[object Object]");
    case QJsonValue::Undefined: return {};
    }
    return {};
}

} // namespace
} // namespace push

QString CPushParser::readField(const QString& text, const QString& name)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {};
    const QJsonObject object = document.object();
    const auto field = object.constFind(name);
    return field == object.constEnd() ? QString() : push::scriptText(*field);
}

bool CPushParser::isPushedMessage(const QString& text)
{
    return text.contains(QLatin1String("content"));
}

void CPushParser::parseStatusReply(const QString& text)
{
    m_strChannelNo = readField(text, QStringLiteral("channelNo"));
    m_strMemberId = readField(text, QStringLiteral("memberId"));
    m_strStatus = readField(text, QStringLiteral("status"));
}
