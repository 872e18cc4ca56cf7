#include "updater/SitePrograms.h"

#include "updater/UpdaterGlobals.h"

#include "platform/Processes.h"
#include "platform/ProgramStart.h"
#include "shared/ProgramNames.h"

namespace {

bool StopProgram(std::string_view name)
{
    const pid_t pid = platform::findProcessByName(name);
    if (pid == 0)
        return false;
    platform::terminateProcess(pid);
    platform::waitForProcessEnd(pid, -1);
    return true;
}

} // namespace

bool StopPrograms()
{
    const bool bClientStopped = StopProgram(tolvan::kClientProgram);
    const bool bTrayToolStopped = StopProgram(tolvan::kTrayToolProgram);
    return bClientStopped || bTrayToolStopped;
}

bool StartClient()
{
    return platform::startProgram(g_strAppDir + std::string(tolvan::kClientProgram), {}).has_value();
}
