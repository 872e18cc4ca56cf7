#pragma once
// Reading what the push service sends. Every text received is one JSON
// object: a pushed message when it contains "content" anywhere, else a status
// reply {"channelNo":..,"memberId":..,"status":..}.
//
// Fields are read with a JSON parser (received text is never run as script)
// and turned into text as page script would: strings as they are, numbers in
// their decimal script form (77 -> "77", 1.5 -> "1.5", 1e21 -> "1e+21"),
// true/false as words. An absent field, or a text that is not one JSON
// object, reads as empty text.

#include <QString>

class CPushParser {
public:
    // Fills channelNo, memberId and status from a status reply.
    void parseStatusReply(const QString& text);

    QString channelNo() const { return m_strChannelNo; }
    QString memberId() const { return m_strMemberId; }
    QString status() const { return m_strStatus; }

    // The field `name` of the JSON object `text`, as text.
    static QString readField(const QString& text, const QString& name);

    // A pushed message rather than a status reply.
    static bool isPushedMessage(const QString& text);

private:
    QString m_strChannelNo;
    QString m_strMemberId;
    QString m_strStatus;
};

namespace push {

// A number in the form page script writes it (ECMAScript Number::toString).
QString scriptNumberText(double value);

} // namespace push
