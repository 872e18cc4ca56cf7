#pragma once
// The engine's file thread, started and stopped by the engines'
// CefInitialize and CefShutdown.

namespace engine {

void startFileThread();
// Runs the tasks already queued (delayed ones that are not due are dropped),
// then ends the thread.
void stopFileThread();

} // namespace engine
