#pragma once
// What the real-engine tests share: one started engine, one HTTP server, one
// host window with one browser and its recording client. Chromium starts
// once per test program; each test loads the pages it needs.

#include "HttpServer.h"
#include "RecordingClient.h"
#include "TestSupport.h"

#include "engine/cef/Cef.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <chrono>
#include <memory>
#include <string>

namespace enginetest {

using namespace std::chrono_literals;

// Generous: the machine may be loaded.
inline constexpr auto kPageTimeout = 60s;

struct EngineWorld {
    std::unique_ptr<testsupport::TempFolder> cacheFolder;
    std::unique_ptr<testsupport::HttpServer> server;
    std::unique_ptr<QWidget> host;
    CefRefPtr<RecordingClient> client;
    CefRefPtr<CefBrowser> browser;
    // What the registered "tencent" factory was asked for.
    std::vector<std::string> tencentRequests;
};

EngineWorld& world();

// Starts the engine and the browser (once); false when that failed.
bool startWorld();
void stopWorld();

// Loads `url` in the main frame and waits for its main-frame load end (or
// load error). Clears the client's records first.
bool loadPage(const std::string& url);

// Waits until the client recorded a native call of `name` with this first
// argument (a string), and returns the call's second argument as text.
std::optional<std::string> waitForReport(const std::string& label,
                                         std::chrono::milliseconds timeout = kPageTimeout);

// The second arguments (as text) of every Report call with this label so far.
std::vector<std::string> reportsOf(const std::string& label);

// A value as text: strings as they are, numbers in decimal, "null", ...
std::string describe(const CefRefPtr<CefV8Value>& value);

// The view widget that receives the page's input.
QWidget* inputWidget(CefRefPtr<CefBrowser> browser);

} // namespace enginetest
