// tolvanctl: diagnostics for the suite's support staff and tests. It talks to
// the programs through the same windows, messages, shared memories and
// process list they use, and prints one JSON object per line.

#include "Commands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* kUsage =
    "usage: tolvanctl <command> ...\n"
    "  windows                                   list top-level windows\n"
    "  send-copydata TITLE TEXT [--wparam N] [--cbdata N]\n"
    "                                            send WM_COPYDATA with TEXT's UTF-8 bytes\n"
    "  close TITLE [--wparam N] [--post]         send (or post) WM_CLOSE\n"
    "  show TITLE maximized|hide|restore         ask a window to show itself so\n"
    "  press TITLE ok|cancel [--wait MS]         press a message box's button\n"
    "  listen TITLE                              be a window with that title; print what arrives\n"
    "  shm-read NAME                             print a shared region's first word and byte\n"
    "  shm-write NAME --i32 N | --i8 N           write them (the region is created when missing)\n"
    "  shm-hold NAME                             hold a region open until killed\n"
    "  procs TEXT                                the process whose program name contains TEXT\n"
    "exit status: 0 done, 1 window or region not found, 2 bad usage\n";

} // namespace

int main(int argc, char** argv)
{
    using namespace tolvanctl;
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kBadUsage;
    }
    const std::string command = argv[1];
    const std::vector<std::string> words(argv + 2, argv + argc);

    if (command == "windows") return listWindows(words);
    if (command == "send-copydata") return sendCopyData(words);
    if (command == "close") return closeWindow(words);
    if (command == "show") return showWindow(words);
    if (command == "press") return pressButton(words);
    if (command == "listen") return listen(argc, argv, words);
    if (command == "shm-read") return readRegion(words);
    if (command == "shm-write") return writeRegion(words);
    if (command == "shm-hold") return holdRegion(words);
    if (command == "procs") return findProcess(words);
    if (command == "help" || command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return kDone;
    }
    return failure(kBadUsage, "unknown command '" + command + "' (tolvanctl help lists the commands)");
}
