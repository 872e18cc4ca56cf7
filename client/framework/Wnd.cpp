#include "client/framework/Wnd.h"

#include "client/framework/Application.h"
#include "platform/CodePage.h"
#include "platform/WidgetWindow.h"

#include <QCloseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <unordered_map>

namespace framework {
namespace {

// This process's framework windows by window number. Windows live on the
// GUI thread, and so does this map.
std::unordered_map<std::uint32_t, Wnd*>& windowsById()
{
    static std::unordered_map<std::uint32_t, Wnd*> windows;
    return windows;
}

} // namespace

Wnd::Wnd(QWidget* parent) : QWidget(parent) {}

Wnd::~Wnd()
{
    if (m_handle)
        windowsById().erase(m_handle.id);
    m_topLevelWindow.reset();
    m_childWindow.reset();
}

void Wnd::SetMessageHandler(UINT message, Handler handler) { m_messageMap[message] = std::move(handler); }

Wnd* Wnd::FromWidget(QWidget* widget) { return dynamic_cast<Wnd*>(widget); }

Wnd* Wnd::FromHandle(platform::WindowHandle handle)
{
    if (!handle)
        return nullptr;
    auto found = windowsById().find(handle.id);
    if (found == windowsById().end() || found->second->m_handle != handle)
        return nullptr;
    return found->second;
}

bool Wnd::CreateWindowHandle(QWidget* parent, const QRect& rect, const std::string& ansiTitle, bool visible)
{
    if (parent)
        setParent(parent);
    setGeometry(rect);
    setWindowTitle(QString::fromStdString(platform::ansiToUtf8(ansiTitle)));
    auto procedure = [this](UINT message, WPARAM wParam, LPARAM lParam) {
        return ReceiveMessage(message, wParam, lParam);
    };
    if (parent) {
        m_childWindow = platform::Window::create(windowTitle().toStdString(), procedure, platform::WindowKind::Child);
        m_handle = m_childWindow->handle();
    } else {
        m_topLevelWindow = std::make_unique<platform::WidgetWindow>(this, procedure);
        m_handle = m_topLevelWindow->handle();
    }
    windowsById()[m_handle.id] = this;
    if (OnCreate() == -1) {
        DestroyWindow();
        return false;
    }
    if (visible)
        show();
    return true;
}

LRESULT Wnd::ReceiveMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Application* app = Application::Get()) {
        MSG msg{this, message, wParam, lParam};
        if (app->PreTranslateMessage(msg))
            return 0;
    }
    return WindowProc(message, wParam, lParam);
}

LRESULT Wnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    auto found = m_messageMap.find(message);
    if (found != m_messageMap.end())
        return found->second(wParam, lParam);
    return DefWindowProc(message, wParam, lParam);
}

LRESULT Wnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case platform::WM_ERASEBKGND:
        if (auto* painter = reinterpret_cast<QPainter*>(wParam)) {
            painter->fillRect(rect(), palette().window());
            return 1;
        }
        return 0;
    case platform::WM_NCPAINT:
        update();
        return 0;
    default:
        return 0;
    }
}

LRESULT Wnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return platform::sendMessage(m_handle, message, wParam, lParam).value_or(0);
}

bool Wnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return platform::postMessage(m_handle, message, wParam, lParam);
}

void Wnd::SetWindowText(const std::string& ansiText)
{
    setWindowTitle(QString::fromStdString(platform::ansiToUtf8(ansiText)));
    // Top-level windows publish their title through the widget; child
    // windows keep it with their registration.
    if (m_childWindow)
        m_childWindow->setTitle(windowTitle().toStdString());
}

std::string Wnd::GetWindowText() const { return platform::utf8ToAnsi(windowTitle().toStdString()); }

Wnd* Wnd::GetParent() const
{
    for (QWidget* widget = parentWidget(); widget; widget = widget->parentWidget()) {
        if (Wnd* window = FromWidget(widget))
            return window;
    }
    return nullptr;
}

void Wnd::MoveWindow(const QRect& rect, bool repaint)
{
    setGeometry(rect);
    if (repaint)
        update();
}

bool Wnd::ShowWindow(int showCommand)
{
    const bool wasVisible = isVisible();
    switch (showCommand) {
    case platform::SW_HIDE: hide(); break;
    case platform::SW_SHOWMAXIMIZED: isWindow() ? showMaximized() : show(); break;
    case platform::SW_SHOWMINIMIZED:
    case platform::SW_MINIMIZE: isWindow() ? showMinimized() : hide(); break;
    case platform::SW_SHOWNORMAL:
    case platform::SW_RESTORE: isWindow() ? showNormal() : show(); break;
    default: show(); break;
    }
    return wasVisible;
}

void Wnd::UpdateWindow() { repaint(); }

void Wnd::DestroyWindow()
{
    hide();
    deleteLater();
}

void Wnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const WPARAM kind = isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED;
    WindowProc(platform::WM_SIZE, kind, MAKELPARAM(event->size().width(), event->size().height()));
}

void Wnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    WindowProc(platform::WM_ERASEBKGND, reinterpret_cast<WPARAM>(&painter), 0);
}

void Wnd::closeEvent(QCloseEvent* event)
{
    // The window decides what a close means (a frame may only hide).
    event->ignore();
    WindowProc(platform::WM_CLOSE, 0, 0);
}

} // namespace framework
