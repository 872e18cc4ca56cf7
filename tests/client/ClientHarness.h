#pragma once
// The client's windows over the fake engine, as the client builds them: the
// main frame, the browser view and the browser host view with its handler,
// in a private runtime folder and a private current directory (where
// ConsoleMsg.log goes). chrome.ini is the harness's own file.

#include "client/browser/CefBrowHandl.h"
#include "client/framework/Application.h"
#include "client/framework/DocTemplate.h"
#include "client/window/BrowserDoc.h"
#include "client/window/BrowserView.h"
#include "client/window/ChromView.h"
#include "client/window/MainFrame.h"
#include "engine/fake/FakeEngine.h"
#include "platform/Paths.h"
#include "shared/SharedRegions.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QEvent>
#include <gtest/gtest.h>
#include <unistd.h>

class ClientHarness : public ::testing::Test {
protected:
    using FakeBrowser = engine::fake::FakeBrowser;
    using FakeEngine = engine::fake::FakeEngine;

    ClientHarness()
    {
        FakeEngine::reset();
        CefInitialize(CefSettings{}, nullptr);
        m_previousDirectory = platform::currentDirectory();
        EXPECT_EQ(::chdir(folder.path().c_str()), 0);
        app.AddDocTemplate(std::make_unique<framework::SingleDocTemplate>(
            "Browser", [] { return std::make_unique<CBrowserDoc>(); }, [] { return new CMainFrame; },
            [] { return new CBrowserView; }));
        frame = dynamic_cast<CMainFrame*>(app.GetDocTemplate()->OpenDocumentFile({}, false));
        view = frame ? dynamic_cast<CBrowserView*>(frame->GetActiveView()) : nullptr;
        host = view ? view->m_pChromView : nullptr;
        if (host)
            host->m_strIniPath = folder.file("chrome.ini");
        frame->resize(800, 600);
        frame->show();
    }

    ~ClientHarness() override
    {
        delete app.m_pMainWnd;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FakeEngine::reset();
        [[maybe_unused]] int ignored = ::chdir(m_previousDirectory.c_str());
    }

    // The main browser, once the engine has created it.
    CefRefPtr<FakeBrowser> waitForBrowser()
    {
        testsupport::waitUntil([] { return FakeEngine::mainBrowser() != nullptr; });
        QCoreApplication::processEvents();  // the posted WM_SIZE
        return FakeEngine::mainBrowser();
    }

    void writeChromeIni(const std::string& loginUrl, const std::string& logoutUrl = {})
    {
        testsupport::writeFile(folder.file("chrome.ini"),
                               "[LinkInfo]\nlogoutUrl=" + logoutUrl + "\nloginUrl=" + loginUrl + "\n");
    }

    int clientState() const { return host->ReadClientState().value_or(-1); }
    void setClientState(int state) { host->WriteClientState(state); }
    std::string consoleLog() const { return testsupport::readFile(folder.file("ConsoleMsg.log")); }

    testsupport::ScopedRuntimeFolder runtime;
    testsupport::TempFolder folder{"tolvan-client"};
    framework::Application app;
    CMainFrame* frame = nullptr;
    CBrowserView* view = nullptr;
    CChromView* host = nullptr;

private:
    std::string m_previousDirectory;
};
