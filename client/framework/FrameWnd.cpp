#include "client/framework/FrameWnd.h"

#include <QEvent>
#include <QTimer>

#include "client/framework/Application.h"
#include "client/framework/View.h"

#include <QCoreApplication>

namespace framework {

FrameWnd::~FrameWnd()
{
    if (Application* app = Application::Get(); app && app->m_pMainWnd == this)
        app->m_pMainWnd = nullptr;
}

bool FrameWnd::LoadFrame(const std::string& ansiTitle, const CreateContext& context)
{
    m_pCreating = &context;
    const bool created = CreateWindowHandle(nullptr, QRect(0, 0, 1024, 768), ansiTitle, false);
    m_pCreating = nullptr;
    return created;
}

int FrameWnd::OnCreate()
{
    if (m_pCreating && !OnCreateClient(*m_pCreating))
        return -1;
    return 0;
}

bool FrameWnd::OnCreateClient(const CreateContext& context)
{
    if (!context.newView)
        return true;
    View* view = context.newView();
    if (!view)
        return false;
    view->SetDocument(context.document);
    // A view that fails to create its window destroys itself.
    return view->Create(this, GetClientRect(), AFX_IDW_PANE_FIRST);
}

View* FrameWnd::FirstView() const
{
    for (QObject* child : children()) {
        auto* view = dynamic_cast<View*>(child);
        if (view && view->GetDlgCtrlID() == AFX_IDW_PANE_FIRST)
            return view;
    }
    return nullptr;
}

void FrameWnd::InitialUpdateFrame(Document*, bool makeVisible)
{
    if (!m_pActiveView)
        SetActiveView(FirstView());
    for (QObject* child : children()) {
        if (auto* view = dynamic_cast<View*>(child))
            view->OnInitialUpdate();
    }
    if (makeVisible) {
        Application* app = Application::Get();
        ActivateFrame(app && app->m_pMainWnd == this ? app->m_nCmdShow : platform::SW_SHOW);
    }
}

void FrameWnd::ActivateFrame(int showCommand)
{
    ShowWindow(showCommand);
    raise();
}

void FrameWnd::RecalcLayout()
{
    if (View* view = FirstView())
        view->MoveWindow(GetClientRect());
}

void FrameWnd::DestroyWindow()
{
    Application* app = Application::Get();
    const bool isMainWindow = app && app->m_pMainWnd == this;
    Wnd::DestroyWindow();
    if (isMainWindow) {
        app->m_pMainWnd = nullptr;
        QCoreApplication::quit();
    }
}

LRESULT FrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case platform::WM_CLOSE:
        DestroyWindow();
        return 0;
    case platform::WM_SIZE:
        RecalcLayout();
        return 0;
    case platform::WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION)
            ShowWindow(isMaximized() ? platform::SW_RESTORE : platform::SW_SHOWMAXIMIZED);
        return 0;
    default:
        return Wnd::DefWindowProc(message, wParam, lParam);
    }
}

bool FrameWnd::event(QEvent* event)
{
    // Qt replaces a shown frame's native window when the embedded browser
    // first needs OpenGL, and the window manager forgets that the old one was
    // maximised (by the time the new window is up, Qt believes it too); ask
    // for the maximised state again on the new window.
    if (event->type() == QEvent::WinIdChange && isVisible() && isMaximized()) {
        QTimer::singleShot(0, this, [this] {
            if (!isVisible())
                return;
            setWindowState(windowState() & ~Qt::WindowMaximized);
            setWindowState(windowState() | Qt::WindowMaximized);
        });
    }
    return Wnd::event(event);
}

} // namespace framework
