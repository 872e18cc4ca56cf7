#include "client/script/PageFunctions.h"

#include "client/app/Companions.h"
#include "client/script/ChatAddress.h"
#include "platform/CodePage.h"
#include "platform/Shell.h"
#include "platform/Windows.h"
#include "shared/SharedRegions.h"
#include "shared/WindowTitles.h"

namespace {

// The first argument's text in the ANSI code page, or nothing when it is
// missing or not a string.
std::optional<std::string> firstTextArgument(const std::vector<com::VARIANT>& args)
{
    if (args.empty() || args[0].vt != com::VT_BSTR)
        return std::nullopt;
    return platform::utf16ToAnsi(com::BstrView(args[0].bstrVal));
}

} // namespace

com::VARIANT GetBindShopResponse(CChromView* hostView, std::vector<com::VARIANT> args)
{
    const auto text = firstTextArgument(args);
    if (!text)
        return {};
    const auto manager = platform::findWindow(std::string(tolvan::kCorvaneManagerTitle));
    const auto company = platform::findWindow(std::string(tolvan::kCorvaneCompanyTitle));
    if (manager) {
        platform::COPYDATASTRUCT data;
        data.dwData = 0;
        data.cbData = std::uint32_t(text->size());
        data.lpData = text->data();
        platform::sendMessage(manager, platform::WM_COPYDATA, platform::WPARAM(hostView->m_nReplyCode),
                              reinterpret_cast<platform::LPARAM>(&data));
    }
    if (company)
        platform::postMessage(company, platform::WM_CLOSE, 0, 0);
    return {};
}

com::VARIANT SendUserInfo(CChromView* hostView, std::vector<com::VARIANT> args)
{
    hostView->WriteClientState(tolvan::kClientStateUserInfoSent);
    if (const auto text = firstTextArgument(args))
        RestartTrayTool(*text);
    return {};
}

com::VARIANT ContactService(CChromView*, std::vector<com::VARIANT> args)
{
    const auto account = firstTextArgument(args);
    if (!account)
        return {};
    // The address is built in the ANSI code page, like every narrow text here,
    // and read back from it for the desktop's handler.
    platform::shellOpen(platform::ansiToUtf8(ChatAddressFor(*account)));
    return {};
}

com::VARIANT Logout(CChromView* hostView, std::vector<com::VARIANT>)
{
    hostView->WriteClientState(tolvan::kClientStateLoggedOut);
    return {};
}

com::VARIANT PlaySound(CChromView* hostView, std::vector<com::VARIANT> args)
{
    if (args.empty() || args[0].vt != com::VT_I4)
        return {};
    const auto value = std::int8_t(std::uint8_t(args[0].lVal & 0xFF));
    hostView->WriteSoundSwitch(value);
    return com::VARIANT::fromI4(hostView->ReadSoundSwitch().value_or(value));
}

void ApplyLoginStateRule(CChromView* hostView, const std::string& ansiUrl)
{
    if (!hostView)
        return;
    const std::string loginUrl = hostView->GetLoginUrl();
    if (ansiUrl.find(loginUrl) != std::string::npos &&
        hostView->ReadClientState() == tolvan::kClientStateUserInfoSent)
        hostView->WriteClientState(tolvan::kClientStateBackOnLogin);
}
