#include "platform/MessageBox.h"

#include "platform/WidgetWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

#include <memory>

namespace platform {
namespace {

// A box needs a GUI application; make one for the box when the program has
// none yet (a program may ask before it creates its own).
std::unique_ptr<QApplication> applicationForBox()
{
    if (QCoreApplication::instance())
        return nullptr;
    static int argc = 1;
    static char name[] = "messagebox";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

QMessageBox::Icon iconFor(UINT type)
{
    switch (type & 0xF0) {
    case MB_ICONINFORMATION: return QMessageBox::Information;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONERROR: return QMessageBox::Critical;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

int messageBox(const std::string& text, const std::string& caption, UINT type)
{
    auto ownApplication = applicationForBox();
    const bool withCancel = (type & 0xF) == MB_OKCANCEL;

    QMessageBox box(iconFor(type), QString::fromStdString(caption), QString::fromStdString(text),
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::Ok);
    // A program without windows of its own (the updater) asks its question
    // while another program's maximised window is in front; the box must not
    // hide behind it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);

    // Registered under its caption, so another process can press a button:
    // WM_COMMAND with IDOK or IDCANCEL answers 1 when the box has that button.
    new WidgetWindow(&box, [&box](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        if (message == WM_COMMAND) {
            QMessageBox::StandardButton which = wParam == IDOK       ? QMessageBox::Ok
                                                : wParam == IDCANCEL ? QMessageBox::Cancel
                                                                     : QMessageBox::NoButton;
            if (QAbstractButton* button = box.button(which)) {
                button->click();
                return 1;
            }
        } else if (message == WM_CLOSE) {
            box.close();
        }
        return 0;
    });
    box.exec();
    const bool ok = box.clickedButton() == box.button(QMessageBox::Ok);
    return int(ok ? IDOK : IDCANCEL);
}

} // namespace platform
