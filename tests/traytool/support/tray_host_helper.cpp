// A minimal notification area for tests under Xvfb: owns the screen's system
// tray selection and docks every icon that asks, side by side from the top
// left corner of the screen (24 x 24 each). Prints {"ready":true} once it
// owns the selection and {"docked":<window>,"x":<left>} per icon; runs until
// it is killed.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <string>

namespace {
constexpr long kRequestDock = 0;  // SYSTEM_TRAY_REQUEST_DOCK
constexpr int kIconSize = 24;
} // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "tray_host_helper: no display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const Window host = XCreateSimpleWindow(display, root, 0, 0, 10 * kIconSize, kIconSize, 0, 0, 0x2b5d8a);
    XSelectInput(display, host, SubstructureNotifyMask);
    XMapRaised(display, host);

    const std::string selectionName = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
    const Atom selection = XInternAtom(display, selectionName.c_str(), False);
    const Atom opcode = XInternAtom(display, "_NET_SYSTEM_TRAY_OPCODE", False);
    const Atom manager = XInternAtom(display, "MANAGER", False);
    XSetSelectionOwner(display, selection, host, CurrentTime);
    if (XGetSelectionOwner(display, selection) != host) {
        std::fprintf(stderr, "tray_host_helper: another notification area runs\n");
        return 1;
    }

    // Tell the clients that a notification area is there.
    XEvent announce{};
    announce.xclient.type = ClientMessage;
    announce.xclient.window = root;
    announce.xclient.message_type = manager;
    announce.xclient.format = 32;
    announce.xclient.data.l[0] = CurrentTime;
    announce.xclient.data.l[1] = long(selection);
    announce.xclient.data.l[2] = long(host);
    XSendEvent(display, root, False, StructureNotifyMask, &announce);
    XSync(display, False);
    std::printf("{\"ready\":true}\n");
    std::fflush(stdout);

    int icons = 0;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != ClientMessage || event.xclient.message_type != opcode ||
            event.xclient.data.l[1] != kRequestDock)
            continue;
        const Window icon = Window(event.xclient.data.l[2]);
        const int x = icons++ * kIconSize;
        XReparentWindow(display, icon, host, x, 0);
        XResizeWindow(display, icon, kIconSize, kIconSize);
        XMapRaised(display, icon);
        XSync(display, False);
        std::printf("{\"docked\":%lu,\"x\":%d}\n", icon, x);
        std::fflush(stdout);
    }
}
