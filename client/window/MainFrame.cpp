#include "client/window/MainFrame.h"

#include "client/framework/View.h"
#include "client/window/CopyData.h"
#include "shared/Messages.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

CMainFrame::CMainFrame()
{
    SetMessageHandler(platform::WM_CLOSE, [this](framework::WPARAM wParam, framework::LPARAM) {
        return OnClose(wParam);
    });
    SetMessageHandler(platform::WM_COPYDATA, [this](framework::WPARAM, framework::LPARAM lParam) {
        return OnCopyData(lParam);
    });
}

int CMainFrame::OnCreate()
{
    if (framework::FrameWnd::OnCreate() == -1)
        return -1;
    // The program's own icon replaces this one once the window is shown.
    setWindowIcon(QApplication::style()->standardIcon(QStyle::SP_DesktopIcon));
    if (QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    return 0;
}

framework::LRESULT CMainFrame::OnClose(framework::WPARAM wParam)
{
    if (wParam == tolvan::kCloseHidesWindow) {
        ShowWindow(platform::SW_HIDE);
        return 0;
    }
    return DefWindowProc(platform::WM_CLOSE, wParam, 0);
}

framework::LRESULT CMainFrame::OnCopyData(framework::LPARAM lParam)
{
    std::string address = CopyDataText(reinterpret_cast<const platform::COPYDATASTRUCT*>(lParam));
    if (framework::View* view = GetActiveView())
        view->SendMessage(tolvan::UM_NAVIGATE, 0, reinterpret_cast<framework::LPARAM>(&address));
    return 0;
}
