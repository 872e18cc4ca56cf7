#pragma once
// Ties a Qt top-level widget to a registered window: the widget's title and
// state are published, show requests from other processes are applied to the
// widget, and messages go to the given procedure.

#include "platform/Windows.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace platform {

class WidgetWindow : public QObject {
public:
    WidgetWindow(QWidget* widget, WindowProcedure procedure, WindowKind kind = WindowKind::TopLevel);
    ~WidgetWindow() override;

    WindowHandle handle() const { return m_window->handle(); }
    Window& window() { return *m_window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool applyShowRequest(ShowRequest request, int showCommand);
    void publishState();
    void settle();

    QPointer<QWidget> m_widget;
    std::unique_ptr<Window> m_window;
};

} // namespace platform
