#include "traytool/notify/ClientWindow.h"

#include "platform/ProgramStart.h"
#include "shared/ProgramNames.h"
#include "shared/WindowTitles.h"

namespace traytool {

platform::WindowHandle findClientWindow()
{
    return platform::findWindow(std::string(tolvan::kClientWindowTitle));
}

void startClient(const std::string& page)
{
    platform::startProgram(tolvan::clientCommandLine(page));
}

void sendPageToClient(platform::WindowHandle window, const std::string& page)
{
    platform::COPYDATASTRUCT data;
    data.dwData = 0;
    data.cbData = static_cast<std::uint32_t>(page.size());
    data.lpData = page.data();
    // A client that does not answer within the layer's timeout is given up;
    // the tray tool must not hang on it.
    platform::sendMessage(window, platform::WM_COPYDATA, 0, reinterpret_cast<platform::LPARAM>(&data));
}

} // namespace traytool
