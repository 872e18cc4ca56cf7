// Fetchwell: the installation's updater. Started by the client without
// arguments; runs one update check and ends with exit code 0.
#include "updater/UpdateLog.h"
#include "updater/UpdateRun.h"
#include "updater/UpdaterGlobals.h"

#include <curl/curl.h>

int main()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    InitFolders();
    CreateLogFolder();
    RunFetchwell();
    curl_global_cleanup();
    return 0;
}
