#include "platform/WidgetWindow.h"

#include <QCoreApplication>
#include <QEvent>

namespace platform {

WidgetWindow::WidgetWindow(QWidget* widget, WindowProcedure procedure, WindowKind kind)
    : QObject(widget), m_widget(widget)
{
    m_window = Window::create(widget->windowTitle().toStdString(), std::move(procedure), kind);
    m_window->setShowHandler([this](ShowRequest request, int showCommand) {
        return applyShowRequest(request, showCommand);
    });
    widget->installEventFilter(this);
    publishState();
}

WidgetWindow::~WidgetWindow() = default;

bool WidgetWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_widget)
        return false;
    switch (event->type()) {
    case QEvent::WindowTitleChange:
        m_window->setTitle(m_widget->windowTitle().toStdString());
        break;
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
        publishState();
        break;
    case QEvent::ActivationChange:
        m_window->setActive(m_widget->isActiveWindow());
        break;
    default:
        break;
    }
    return false;
}

void WidgetWindow::publishState()
{
    if (m_widget)
        m_window->setState(m_widget->isVisible(), m_widget->isMinimized());
}

bool WidgetWindow::applyShowRequest(ShowRequest request, int showCommand)
{
    if (!m_widget)
        return false;
    const bool wasVisible = m_widget->isVisible();
    auto restore = [this] {
        // Back from minimised to the state before (maximised stays maximised).
        if (m_widget->isMinimized())
            m_widget->setWindowState(m_widget->windowState() & ~Qt::WindowMinimized);
        else if (m_widget->isMaximized())
            m_widget->showNormal();
        m_widget->show();
    };

    switch (request) {
    case ShowRequest::Show:
        switch (showCommand) {
        case SW_HIDE: m_widget->hide(); break;
        case SW_SHOWMAXIMIZED: m_widget->showMaximized(); break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE: m_widget->showMinimized(); break;
        case SW_RESTORE: restore(); break;
        case SW_SHOWNORMAL: m_widget->showNormal(); break;
        default: m_widget->show(); break;
        }
        settle();
        return wasVisible;
    case ShowRequest::Raise:
        m_widget->raise();
        return true;
    case ShowRequest::Activate:
        if (m_widget->isMinimized() || !wasVisible)
            restore();
        m_widget->raise();
        m_widget->activateWindow();
        // Without a window manager activation may not be reported; the
        // request was honoured, so publish it.
        m_window->setActive(true);
        settle();
        return true;
    }
    return false;
}

void WidgetWindow::settle()
{
    // The window system confirms state changes later, in its own events; let
    // them arrive now, so the request is complete (and its state published)
    // when the caller gets its answer, as a show request is on the desktop.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    publishState();
}

} // namespace platform
