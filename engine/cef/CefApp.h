#pragma once
// Starting and stopping the engine.
//
// The engine is Chromium through Qt WebEngine, which runs on the Qt GUI
// thread. So:
//  - a QApplication must exist before CefInitialize and still exist at
//    CefShutdown; both are called on its thread. Set
//    Qt::AA_ShareOpenGLContexts before constructing it (Qt WebEngine asks
//    for that to share its rendering contexts);
//  - the application's ordinary Qt event loop drives the engine; there is no
//    engine message loop to run (multi_threaded_message_loop has no effect).
//
// Chromium's sandbox cannot start for the root user: when the effective user
// is root, CefInitialize turns the sandbox off (and says so once on standard
// error); for every other user it stays on.
//
// The environment variables QTWEBENGINE_CHROMIUM_FLAGS and
// QTWEBENGINEPROCESS_PATH are honoured (Qt's own); the layer adds its flags
// to the first.

#include "engine/cef/CefBase.h"
#include "engine/cef/CefTypes.h"

// The application's hooks into the engine's start-up; none are needed here.
class CefApp : public virtual CefBase {};

// Starts the engine once per process. False when it cannot start: no
// QApplication, not on its thread, already started, or Qt WebEngine's helper
// program (QtWebEngineProcess) or its resources are missing. Chromium itself
// starts with the first browser.
bool CefInitialize(const CefSettings& settings, CefRefPtr<CefApp> application);

// Closes every browser that is still open (their OnBeforeClose comes first),
// runs the file thread's remaining tasks and stops the engine. Does nothing
// when the engine was not started. There is no restart.
void CefShutdown();
