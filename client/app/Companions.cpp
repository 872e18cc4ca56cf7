#include "client/app/Companions.h"

#include "platform/Processes.h"
#include "platform/ProgramStart.h"
#include "shared/ProgramNames.h"

namespace {

// A killed process is gone within milliseconds; this only bounds a stuck one.
constexpr int kTrayToolEndWaitMs = 3000;

} // namespace

pid_t FindProcessByName(std::string_view text) { return platform::findProcessByName(text); }

void RefreshTrayArea() {}

void RestartTrayTool(const std::string& ansiArgument)
{
    if (const pid_t running = FindProcessByName(tolvan::kTrayToolProgram)) {
        if (platform::terminateProcess(running))
            platform::waitForProcessEnd(running, kTrayToolEndWaitMs);
        RefreshTrayArea();
    }
    platform::startProgram(tolvan::trayToolCommandLine(ansiArgument));
}

void StartUpdaterUnlessRunning()
{
    if (FindProcessByName(tolvan::kUpdaterProgram) == 0)
        platform::startProgram(tolvan::updaterCommandLine());
}
