#pragma once
// The lines the tray tool sends to the push service: compact JSON objects with
// their members in a fixed order and one line feed after the closing brace.
//
//   status line      {"channelNo":"05","memberId":M,"version":V,"computerName":C,"status":"2"}
//                    status "2" logs in, "4" keeps the connection alive
//   acknowledgement  {"channelNo":"05","memberId":M,"id":I,"version":V,"computerName":C,"status":3}
//
// Values are escaped as JSON requires, so a member name with a double quote
// or a backslash still gives a valid line; plain values stand as they are.

#include <QString>

namespace push {

inline constexpr char kChannelNo[] = "05";
inline constexpr char kStatusLogin[] = "2";
inline constexpr char kStatusKeepAlive[] = "4";

// The values every line carries besides its own.
struct LineValues {
    QString memberId;
    QString version;
    QString computerName;
};

QString statusLine(const LineValues& values, const QString& status);
QString ackLine(const LineValues& values, const QString& id);

// The text as the inside of a JSON string: '"' and '\' escaped, control
// characters as \n, \t, ... or \u00XX; everything else unchanged.
QString jsonEscaped(const QString& text);

} // namespace push
