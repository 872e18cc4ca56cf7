// A program that owns windows for the window layer's multi-process tests.
//
//   window_helper answer TITLE N          a window answering N to every message
//   window_helper windows PREFIX COUNT    COUNT windows titled PREFIX0, PREFIX1, ...
//   window_helper hang TITLE              a window whose first message never returns
//   window_helper relay TITLE TARGET      on a message, sends WM_USER to TARGET and
//                                         answers that result + 1
//   window_helper widget TITLE            a real widget window
//   window_helper box CAPTION okcancel|ok a message box; prints the button pressed
//
// Each prints {"ready":true} once its windows can be found, and runs until
// killed (the box until it is answered).

#include "platform/MessageBox.h"
#include "platform/WidgetWindow.h"
#include "platform/Windows.h"

#include <QApplication>
#include <QThread>
#include <QWidget>
#include <cstdio>
#include <string>
#include <vector>

using namespace platform;

namespace {

void ready()
{
    std::printf("{\"ready\":true}\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const std::string mode = argv[1];
    const std::string title = argv[2];

    if (mode == "box") {
        const bool okCancel = argc > 3 && std::string(argv[3]) == "okcancel";
        ready();
        int pressed = messageBox("Test text", title, okCancel ? MB_OKCANCEL : MB_OK);
        std::printf("{\"pressed\":%d}\n", pressed);
        return 0;
    }

    QApplication application(argc, argv);
    std::vector<std::unique_ptr<Window>> windows;

    if (mode == "answer" && argc > 3) {
        const LRESULT answer = std::stoll(argv[3]);
        windows.push_back(Window::create(title, [answer](UINT, WPARAM, LPARAM) { return answer; }));
    } else if (mode == "windows" && argc > 3) {
        for (int i = 0; i < std::stoi(argv[3]); ++i)
            windows.push_back(Window::create(title + std::to_string(i), [](UINT, WPARAM, LPARAM) { return 0; }));
    } else if (mode == "hang") {
        windows.push_back(Window::create(title, [](UINT, WPARAM, LPARAM) -> LRESULT {
            while (true)
                QThread::sleep(1000);
        }));
    } else if (mode == "relay" && argc > 3) {
        const std::string target = argv[3];
        windows.push_back(Window::create(title, [target](UINT, WPARAM, LPARAM) -> LRESULT {
            auto result = sendMessage(findWindow(target), WM_USER, 0, 0);
            return result ? *result + 1 : -1;
        }));
    } else if (mode == "widget") {
        auto* widget = new QWidget;
        widget->setWindowTitle(QString::fromStdString(title));
        new WidgetWindow(widget, [](UINT, WPARAM, LPARAM) { return 0; });
        widget->resize(200, 100);
        widget->show();
    } else {
        return 2;
    }
    ready();
    return application.exec();
}
