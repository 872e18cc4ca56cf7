#pragma once
// Values the tray tool's components share for the whole run. Everything runs
// on the GUI thread, so they are plain values.
//
//  - start mode: 1 normally, 2 when the tray tool was started without a site
//    identity; set once at start-up, read by the tray icon for its first icon.
//  - client state text: the client's login state as decimal text ("0" none
//    yet, "1" logged in, "2" logged out, "3" back on the login page); written
//    every second from the shared memory "tolvan", and "1" by the push client
//    after it has connected; gates the push client's connection attempts.
//  - relogin request flag: 1 when the user asked to log in again after being
//    forced off line; the push client clears it at its next timer tick.

#include <QString>

namespace traytool {

enum StartMode : int {
    kStartWithIdentity = 1,
    kStartWithoutIdentity = 2,
};

int startMode();
void setStartMode(int mode);

QString clientStateText();
void setClientStateText(const QString& text);

int reloginRequest();
void setReloginRequest(int flag);

} // namespace traytool
