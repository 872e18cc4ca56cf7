#pragma once
// A window of the client's framework: a Qt widget that is also registered
// with the platform layer's windows, so that messages reach it by handle from
// this thread, from other threads and (for top-level windows) from other
// programs. Each window has a message map: handlers by message number, set
// with SetMessageHandler; a message without a handler goes to
// DefWindowProc.
//
// Every message that arrives through the platform layer first passes the
// application's PreTranslateMessage. Qt's own events become the messages the
// window would get from the system: a resize is WM_SIZE, painting asks
// WM_ERASEBKGND first, a close request of the user or the window manager is
// WM_CLOSE with wParam 0. Those go straight to the window, as sent messages
// do.
//
// Texts given to and taken from windows are ANSI (the system code page);
// the platform layer's titles are UTF-8.

#include "client/framework/Message.h"
#include "platform/Windows.h"

#include <QRect>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace platform {
class WidgetWindow;
}

namespace framework {

class Wnd : public QWidget {
public:
    explicit Wnd(QWidget* parent = nullptr);
    ~Wnd() override;

    using Handler = std::function<LRESULT(WPARAM wParam, LPARAM lParam)>;
    // Enters a handler into the window's message map (replacing an earlier
    // one for the same message).
    void SetMessageHandler(UINT message, Handler handler);

    // The window's handle; empty before Create.
    platform::WindowHandle GetSafeHwnd() const { return m_handle; }
    // The framework window a widget is, or nothing.
    static Wnd* FromWidget(QWidget* widget);
    // The framework window of this process with this handle, or nothing.
    static Wnd* FromHandle(platform::WindowHandle handle);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    void SetWindowText(const std::string& ansiText);
    std::string GetWindowText() const;

    // The nearest framework window among the widget's parents.
    Wnd* GetParent() const;
    QRect GetClientRect() const { return rect(); }
    // The window's rectangle in its parent's coordinates (on the screen for a
    // top-level window).
    QRect GetWindowRect() const { return geometry(); }
    void MoveWindow(const QRect& rect, bool repaint = true);
    // Returns whether the window was visible before.
    bool ShowWindow(int showCommand);
    void UpdateWindow();
    // Destroys the window: hides it and deletes it once the current message
    // is done.
    virtual void DestroyWindow();

protected:
    // Registers the window under `title` and calls OnCreate; a top-level
    // window when `parent` is null. False when OnCreate refuses (-1); the
    // window is then destroyed.
    bool CreateWindowHandle(QWidget* parent, const QRect& rect, const std::string& ansiTitle, bool visible);
    virtual int OnCreate() { return 0; }

    // The message map, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // What a window does with a message it has no handler for: WM_ERASEBKGND
    // (wParam = QPainter*) fills the background, WM_NCPAINT repaints, the
    // rest are ignored (0).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    LRESULT ReceiveMessage(UINT message, WPARAM wParam, LPARAM lParam);

    platform::WindowHandle m_handle;
    std::unique_ptr<platform::Window> m_childWindow;
    std::unique_ptr<platform::WidgetWindow> m_topLevelWindow;
    std::map<UINT, Handler> m_messageMap;
};

} // namespace framework
