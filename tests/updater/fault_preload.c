/* Preloaded (LD_PRELOAD) into a Fetchwell under test: the first rename or
 * unlink of a given path fails or pauses (later ones, such as a rollback's,
 * go through), so a test can break the replacement at a known step, or kill
 * Fetchwell there, without anything in Fetchwell itself.
 *
 *   UPDATER_TEST_FAULT_CALL    "rename" or "unlink"
 *   UPDATER_TEST_FAULT_PATH    the rename's new name or the unlinked path
 *   UPDATER_TEST_FAULT_ACTION  "fail": the call fails with EIO, nothing done;
 *                              "pause": the call is done, then the process
 *                              sleeps until it is killed
 *   UPDATER_TEST_FAULT_MARKER  a file created when the fault happens
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int fired;

static int isFaultCall(const char* call, const char* path)
{
    if (fired)
        return 0;
    const char* faultCall = getenv("UPDATER_TEST_FAULT_CALL");
    const char* faultPath = getenv("UPDATER_TEST_FAULT_PATH");
    return faultCall && faultPath && path && strcmp(faultCall, call) == 0 && strcmp(faultPath, path) == 0;
}

static int pauses(void)
{
    const char* action = getenv("UPDATER_TEST_FAULT_ACTION");
    return action && strcmp(action, "pause") == 0;
}

static void markFault(void)
{
    const char* marker = getenv("UPDATER_TEST_FAULT_MARKER");
    if (marker) {
        int fd = open(marker, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
            close(fd);
    }
}

static int fault(int result)
{
    fired = 1;
    markFault();
    if (!pauses()) {
        errno = EIO;
        return -1;
    }
    for (;;)
        pause();
    return result;
}

int rename(const char* from, const char* to)
{
    int (*realRename)(const char*, const char*) = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
    if (!isFaultCall("rename", to))
        return realRename(from, to);
    return fault(pauses() ? realRename(from, to) : -1);
}

int unlink(const char* path)
{
    int (*realUnlink)(const char*) = (int (*)(const char*))dlsym(RTLD_NEXT, "unlink");
    if (!isFaultCall("unlink", path))
        return realUnlink(path);
    return fault(pauses() ? realUnlink(path) : -1);
}
