#include "client/window/ChromView.h"

#include "client/app/ProgramFiles.h"
#include "client/browser/CefBrowHandl.h"
#include "client/browser/EngineText.h"
#include "client/script/PageFunctions.h"
#include "client/script/ScriptCall.h"
#include "client/window/CopyData.h"
#include "engine/cef/CefBrowser.h"
#include "platform/CodePage.h"
#include "platform/Profile.h"
#include "platform/Shell.h"
#include "shared/Messages.h"
#include "shared/SharedRegions.h"
#include "shared/SiteAddresses.h"

#include <memory>

std::string BuiltInLogoutUrl() { return tolvan::siteAddress(tolvan::kLogoutPath); }

CChromView::CChromView()
    : m_strIniPath(ProgramFilePath("chrome.ini")),
      m_stateRegion(platform::SharedMemory::createOrOpen(std::string(tolvan::kClientStateRegion))),
      m_soundRegion(platform::SharedMemory::createOrOpen(std::string(tolvan::kSoundRegion)))
{
    // Every client start switches the push sound on again.
    WriteSoundSwitch(1);

    SetMessageHandler(tolvan::UM_NAVIGATE, [this](framework::WPARAM, framework::LPARAM lParam) {
        return OnNavigate(lParam);
    });
    SetMessageHandler(platform::WM_COPYDATA, [this](framework::WPARAM, framework::LPARAM lParam) {
        return OnCopyData(lParam);
    });
    SetMessageHandler(tolvan::UM_SCRIPT_CALL, [this](framework::WPARAM wParam, framework::LPARAM) {
        return OnScriptCall(wParam);
    });
    SetMessageHandler(tolvan::UM_SHELL_OPEN, [this](framework::WPARAM wParam, framework::LPARAM) {
        return OnShellOpen(wParam);
    });
    SetMessageHandler(platform::WM_SIZE, [this](framework::WPARAM, framework::LPARAM) {
        OnSize();
        return framework::LRESULT(0);
    });
    SetMessageHandler(platform::WM_ERASEBKGND, [](framework::WPARAM, framework::LPARAM) {
        return framework::LRESULT(1);
    });
}

CChromView::~CChromView()
{
    m_stateRegion.close();
    m_soundRegion.close();
    if (m_pHandler) {
        m_pHandler->StopLoad();
        // The browser window goes with this view; events that still come for
        // it must not reach a view that is gone.
        m_pHandler->DetachHostView();
    }
    m_pageFunctions.clear();
    m_pHandler = nullptr;
}

bool CChromView::Create(framework::Wnd* parent, const QRect& rect, int controlId)
{
    View::Create(parent, rect, controlId);
    m_pHandler = new CCefBrowHandl(this, GetSafeHwnd());
    CreateBrowser(rect);
    RegisterPageFunctions();
    return true;
}

void CChromView::CreateBrowser(const QRect& rect)
{
    CefWindowInfo windowInfo;
    windowInfo.SetAsChild(this, CefRect{rect.x(), rect.y(), rect.width(), rect.height()});
    CefBrowserSettings settings;
    settings.drag_drop_disabled = false;
    settings.history_disabled = false;
    settings.minimum_font_size = 1;
    settings.minimum_logical_font_size = 1;
    settings.encoding_detector_enabled = true;
    settings.plugins_disabled = false;
    settings.text_area_resize_disabled = true;
    settings.user_style_sheet_enabled = true;
    settings.local_storage_disabled = false;
    settings.databases_disabled = false;
    settings.accelerated_2d_canvas_disabled = false;
    // Without a started engine there is no browser; the view stays empty.
    CefBrowser::CreateBrowser(windowInfo, m_pHandler.get(), CefString("about:blank"), settings);
}

void CChromView::RegisterPageFunctions()
{
    if (!m_pHandler)
        return;
    const std::vector<std::pair<const char*, PageFunction>> functions = {
        {"GetBindShopResponse", &GetBindShopResponse},
        {"SendUserInfo", &SendUserInfo},
        {"ContactService", &ContactService},
        {"Logout", &Logout},
        {"PlaySound", &PlaySound},
    };
    FunctionObject external{CefString("external"), {}};
    for (const auto& [name, function] : functions) {
        m_pageFunctions[CefString(name)] = function;
        external.functionNames.push_back(CefString(name));
    }
    m_pHandler->SetScriptObjects({external});
}

PageFunction CChromView::FindPageFunction(const CefString& name) const
{
    auto found = m_pageFunctions.find(name);
    return found == m_pageFunctions.end() ? nullptr : found->second;
}

std::string CChromView::GetLogoutUrl() const
{
    std::string url = platform::readProfileString(m_strIniPath, "LinkInfo", "logoutUrl");
    return url.empty() ? BuiltInLogoutUrl() : url;
}

std::string CChromView::GetLoginUrl() const
{
    return platform::readProfileString(m_strIniPath, "LinkInfo", "loginUrl");
}

void CChromView::WriteClientState(std::int32_t state)
{
    if (m_stateRegion.isValid())
        tolvan::writeClientState(m_stateRegion.data(), state);
}

std::optional<std::int32_t> CChromView::ReadClientState() const
{
    if (!m_stateRegion.isValid())
        return std::nullopt;
    return tolvan::readClientState(m_stateRegion.data());
}

void CChromView::WriteSoundSwitch(std::int8_t value)
{
    if (m_soundRegion.isValid())
        tolvan::writeSoundSwitch(m_soundRegion.data(), value);
}

std::optional<std::int8_t> CChromView::ReadSoundSwitch() const
{
    if (!m_soundRegion.isValid())
        return std::nullopt;
    return tolvan::readSoundSwitch(m_soundRegion.data());
}

void CChromView::Navigate(const std::string& url)
{
    if (url == GetLogoutUrl())
        Logout(this, {});
    if (!m_pHandler)
        return;
    const CefString address = AnsiToCef(url);
    if (!m_pHandler->LoadURL(address))
        m_pHandler->SetPendingLoad(address);
}

void CChromView::LogNavigation(const std::string& ansiAddress)
{
    if (!m_pHandler)
        return;
    m_pHandler->consoleLogOn = true;
    m_pHandler->WriteConsoleLog(AnsiToCef(ansiAddress));
    m_pHandler->consoleLogOn = false;
}

framework::LRESULT CChromView::OnNavigate(framework::LPARAM lParam)
{
    const auto* address = reinterpret_cast<const std::string*>(lParam);
    if (!address || !m_pHandler)
        return 0;
    m_pHandler->LoadURL(AnsiToCef(*address));
    LogNavigation(*address);
    return 0;
}

framework::LRESULT CChromView::OnCopyData(framework::LPARAM lParam)
{
    const std::string address = CopyDataText(reinterpret_cast<const platform::COPYDATASTRUCT*>(lParam));
    if (address == GetLogoutUrl())
        Logout(this, {});
    LogNavigation(address);
    if (m_pHandler)
        m_pHandler->LoadURL(AnsiToCef(address));
    return 0;
}

framework::LRESULT CChromView::OnScriptCall(framework::WPARAM wParam)
{
    auto* call = reinterpret_cast<ScriptCallInfo*>(wParam);
    if (!call)
        return 0;
    if (m_pHandler)
        m_pHandler->WriteConsoleLog(ScriptCallLogText(*call));
    if (PageFunction function = FindPageFunction(call->name))
        call->result = function(this, call->args);
    return 0;
}

framework::LRESULT CChromView::OnShellOpen(framework::WPARAM wParam)
{
    // The poster handed the text over; it is ours to free.
    std::unique_ptr<std::string> address(reinterpret_cast<std::string*>(wParam));
    if (address)
        platform::shellOpen(platform::ansiToUtf8(*address));
    return 0;
}

void CChromView::OnSize()
{
    if (!m_pHandler)
        return;
    if (CefRefPtr<CefBrowser> browser = m_pHandler->GetBrowser()) {
        if (QWidget* window = browser->GetWindowHandle())
            window->setGeometry(GetClientRect());
    }
}
