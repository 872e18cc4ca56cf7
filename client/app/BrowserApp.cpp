#include "client/app/BrowserApp.h"

#include "client/app/Companions.h"
#include "client/app/MyCommandLineInfo.h"
#include "client/app/ProgramFiles.h"
#include "client/framework/DocTemplate.h"
#include "client/browser/SchemeHandler.h"
#include "client/script/ScriptExtension.h"
#include "client/window/BrowserDoc.h"
#include "client/window/BrowserView.h"
#include "client/window/MainFrame.h"
#include "engine/startup/EngineStartup.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"
#include "platform/Windows.h"
#include "shared/ProgramNames.h"
#include "shared/WindowTitles.h"

#include <QIcon>
#include <vector>

namespace {

// The document template's texts; its first line titles the frame until the
// title below is set.
constexpr const char* kDocTemplateStrings = "Browser\n\nBrowser\n\n\nBrowser.Document\nBrowser.Document";

} // namespace

CBrowserApp::~CBrowserApp() { engine::shutdownEngine(); }

CBrowserApp* CBrowserApp::GetApp() { return dynamic_cast<CBrowserApp*>(framework::Application::Get()); }

bool CBrowserApp::InitInstance()
{
    // One instance per log-on: a second one shows the running window and ends.
    m_instanceMutex = platform::NamedMutex::create(std::string(tolvan::kClientMutexName));
    if (m_instanceMutex.alreadyExisted()) {
        if (auto running = platform::findWindow(std::string(tolvan::kClientWindowTitle)))
            platform::showWindow(running, platform::SW_SHOWMAXIMIZED);
        m_instanceMutex.close();
        return false;
    }

    StartEngine();

    AddDocTemplate(std::make_unique<framework::SingleDocTemplate>(
        kDocTemplateStrings, [] { return std::make_unique<CBrowserDoc>(); }, [] { return new CMainFrame; },
        [] { return new CBrowserView; }));

    CMyCommandLineInfo commandLine(*this);
    ParseCommandLine(commandLine);

    m_nCmdShow = platform::SW_SHOWMAXIMIZED;
    if (!ProcessShellCommand(commandLine))
        return false;

    // The tray tool finds the client by this title, so nothing changes it later.
    m_pMainWnd->SetWindowText(ChooseTitle());
    m_pMainWnd->ShowWindow(platform::SW_SHOWMAXIMIZED);
    m_pMainWnd->setWindowIcon(QIcon(QStringLiteral(":/TolvanClient/TolvanClient.png")));
    m_pMainWnd->UpdateWindow();

    RestartTrayTool(platform::programPath());
    StartUpdaterUnlessRunning();
    return true;
}

void CBrowserApp::StartEngine()
{
    std::vector<const char*> argv;
    for (const auto& argument : m_arguments)
        argv.push_back(argument.c_str());
    engine::startEngine(int(argv.size()), argv.data(), [] {
        RegisterScriptExtension();
        RegisterSchemeHandlers();
    });
}

std::string CBrowserApp::ChooseTitle() const
{
    if (!m_strTitle.empty())
        return m_strTitle;
    if (std::string configured = ReadConfigIni("title", "title"); !configured.empty())
        return configured;
    return platform::utf8ToAnsi(tolvan::kClientWindowTitle);
}

int CBrowserApp::ExitInstance() { return framework::Application::ExitInstance(); }

bool CBrowserApp::PreTranslateMessage(framework::MSG& msg)
{
    if (msg.message == platform::WM_NCLBUTTONDBLCLK) {
        ++m_nCaptionDblClicks;
        if (m_nCaptionDblClicks > 1)
            return true;
    }
    return framework::Application::PreTranslateMessage(msg);
}
