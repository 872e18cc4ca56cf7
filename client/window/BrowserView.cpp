#include "client/window/BrowserView.h"

#include "client/app/BrowserApp.h"
#include "client/app/ProgramFiles.h"
#include "client/window/ChromView.h"
#include "shared/Messages.h"
#include "shared/SiteAddresses.h"

std::string BuiltInHomeUrl() { return tolvan::siteAddress(tolvan::kHomePath); }

CBrowserView::CBrowserView()
{
    const CBrowserApp* app = CBrowserApp::GetApp();
    if (app && !app->m_strStartUrl.empty())
        m_strUrl = app->m_strStartUrl;
    else if (std::string configured = ReadConfigIni("url", "url"); !configured.empty())
        m_strUrl = configured;
    else
        m_strUrl = BuiltInHomeUrl();

    SetMessageHandler(tolvan::UM_NAVIGATE, [this](framework::WPARAM, framework::LPARAM lParam) {
        return OnNavigate(lParam);
    });
    SetMessageHandler(platform::WM_SIZE, [this](framework::WPARAM, framework::LPARAM) {
        OnSize();
        return framework::LRESULT(0);
    });
    // The browser covers everything; painting a background would only flicker.
    SetMessageHandler(platform::WM_ERASEBKGND, [](framework::WPARAM, framework::LPARAM) {
        return framework::LRESULT(1);
    });
}

int CBrowserView::OnCreate()
{
    m_pChromView = new CChromView;
    m_pChromView->Create(this, GetClientRect(), kChromViewId);
    if (const CBrowserApp* app = CBrowserApp::GetApp())
        m_pChromView->m_nReplyCode = app->m_nReplyCode;
    m_pChromView->Navigate(m_strUrl);
    return 0;
}

framework::LRESULT CBrowserView::OnNavigate(framework::LPARAM lParam)
{
    const auto* address = reinterpret_cast<const std::string*>(lParam);
    if (!address)
        return 0;
    m_strUrl = *address;
    if (m_pChromView)
        m_pChromView->Navigate(m_strUrl);
    return 0;
}

void CBrowserView::OnSize()
{
    if (m_pChromView)
        m_pChromView->MoveWindow(GetClientRect());
}
