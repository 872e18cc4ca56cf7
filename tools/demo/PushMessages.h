#pragma once
// What the demo push service sends: status replies and sample pushed messages
// of the four types the tray tool's popup knows.
//
//   110  a new pick-up task      (taskTakeUrl, with a task count)
//   111  parcels waiting to go   (taskTakeUrl, with a task count)
//   113  a new order to bid for  (grabUrl, with the push sound)
//   116  a bid that was won      (succGrabUrl)

#include <QByteArray>
#include <QString>

namespace demo {

bool isKnownPushType(const QString& type);

// {"channelNo":"05","memberId":M,"status":S}
QByteArray statusReply(const QString& memberId, const QString& status);

// A pushed message of `type` with the given id; an empty taskNum takes the
// type's usual count.
QByteArray pushedMessage(const QString& memberId, const QString& type, const QString& id,
                         const QString& taskNum = {});

} // namespace demo
