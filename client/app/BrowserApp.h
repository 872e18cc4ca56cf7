#pragma once
// TolvanClient's application object: one instance per log-on, the browser
// engine, the main window with its browser, and the two companion programs.

#include "client/framework/Application.h"
#include "platform/NamedMutex.h"

#include <cstdint>
#include <string>

class CBrowserApp : public framework::Application {
public:
    CBrowserApp() = default;
    // Shuts the browser engine down (nothing when it never started).
    ~CBrowserApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    // Only the first double-click on the title bar of a run gets through.
    bool PreTranslateMessage(framework::MSG& msg) override;

    static CBrowserApp* GetApp();

    std::string m_strStartUrl;   // command-line value 1 (ANSI)
    std::string m_strTitle;      // command-line value 2 (ANSI)
    std::string m_strReplyCode;  // command-line value 3, as given
    std::int32_t m_nReplyCode = 0;
    std::int32_t m_nCaptionDblClicks = 0;

private:
    void StartEngine();
    std::string ChooseTitle() const;

    platform::NamedMutex m_instanceMutex;
};
