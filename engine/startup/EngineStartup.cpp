#include "engine/startup/EngineStartup.h"

#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "shared/ProgramNames.h"

#include <cctype>
#include <climits>

namespace engine {

namespace {

CefRefPtr<CefCommandLine>& heldCommandLine()
{
    static CefRefPtr<CefCommandLine> commandLine;
    return commandLine;
}

void defaultMessageBox(const std::string& text)
{
    platform::messageBox(text, std::string(tolvan::kClientProgram), platform::MB_OK);
}

} // namespace

CefRefPtr<CefCommandLine> buildEngineCommandLine(int argc, const char* const* argv,
                                                 const std::string& tempFolder)
{
    CefRefPtr<CefCommandLine> commandLine = CefCommandLine::CreateCommandLine();
    commandLine->InitFromArgv(argc, argv);
    commandLine->AppendSwitch("multi-threaded-message-loop");
    commandLine->AppendSwitchWithValue("cache-path", tempFolder + "WebKitCache");
    return commandLine;
}

int atoiLike(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    return static_cast<int>(value < INT_MIN ? INT_MIN : value);
}

cef_graphics_implementation_t graphicsImplementationFrom(const std::string& value)
{
    if (value == "angle-command-buffer")
        return ANGLE_IN_PROCESS_COMMAND_BUFFER;
    if (value == "desktop")
        return DESKTOP_IN_PROCESS;
    if (value == "desktop-command-buffer")
        return DESKTOP_IN_PROCESS_COMMAND_BUFFER;
    return ANGLE_IN_PROCESS;
}

CefSettings engineSettingsFrom(CefRefPtr<CefCommandLine> commandLine)
{
    CefSettings settings;
    auto text = [&](const char* name) { return commandLine->GetSwitchValue(name); };
    auto number = [&](const char* name) { return atoiLike(text(name).ToString()); };

    settings.multi_threaded_message_loop = commandLine->HasSwitch("multi-threaded-message-loop");
    settings.cache_path = text("cache-path");
    settings.user_agent = text("user-agent");
    settings.product_version = text("product-version");
    settings.locale = text("locale");
    settings.log_file = text("log-file");
    settings.log_severity = LOGSEVERITY_DISABLE;
    settings.release_dcheck_enabled = commandLine->HasSwitch("release-dcheck-enabled");
    settings.graphics_implementation =
        graphicsImplementationFrom(text("graphics-implementation").ToString());
    settings.local_storage_quota = static_cast<unsigned int>(number("local-storage-quota"));
    settings.session_storage_quota = static_cast<unsigned int>(number("session-storage-quota"));
    settings.javascript_flags = text("javascript-flags");
    settings.resources_dir_path = text("resources-dir-path");
    settings.locales_dir_path = text("locales-dir-path");
    settings.pack_loading_disabled = commandLine->HasSwitch("pack-loading-disabled");
    settings.uncaught_exception_stack_size = number("uncaught-exception-stack-size");
    settings.context_safety_implementation = number("context-safety-implementation");
    // Set after reading the switches: a "locale" switch has no lasting effect.
    settings.locale = "zh-CN";
    return settings;
}

bool startEngine(int argc, const char* const* argv, const std::function<void()>& registerExtras,
                 const EngineMessageBox& showMessage)
{
    heldCommandLine() = buildEngineCommandLine(argc, argv, platform::tempFolder());
    const CefSettings settings = engineSettingsFrom(heldCommandLine());
    if (!CefInitialize(settings, nullptr)) {
        static bool messageShown = false;
        if (!messageShown) {
            messageShown = true;
            (showMessage ? showMessage : EngineMessageBox(defaultMessageBox))(
                kEngineStartFailedText);
        }
        return false;
    }
    if (registerExtras)
        registerExtras();
    return true;
}

CefRefPtr<CefCommandLine> engineCommandLine() { return heldCommandLine(); }

void shutdownEngine() { CefShutdown(); }

} // namespace engine
