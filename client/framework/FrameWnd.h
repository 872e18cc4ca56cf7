#pragma once
// The frame: the program's top-level window. It creates its view, keeps the
// view filling its client area and knows which view is active: at first the
// view it created, later the view the user clicked into.
//
// WM_CLOSE destroys the frame (and, for the main window, ends the message
// loop); WM_NCLBUTTONDBLCLK on the title bar maximises or restores it.

#include "client/framework/View.h"
#include "client/framework/Wnd.h"

#include <QPointer>
#include <functional>

namespace framework {

class Document;
class View;

// What a new frame gets: how to make its view and the document it shows.
struct CreateContext {
    std::function<View*()> newView;
    Document* document = nullptr;
};

// The control id of a frame's main view.
inline constexpr int AFX_IDW_PANE_FIRST = 0xE900;

class FrameWnd : public Wnd {
public:
    FrameWnd() = default;
    ~FrameWnd() override;

    // Creates the frame's top-level window (hidden) and its view.
    bool LoadFrame(const std::string& ansiTitle, const CreateContext& context);

    View* GetActiveView() const { return m_pActiveView; }
    void SetActiveView(View* view) { m_pActiveView = view; }

    // Activates the first view, lets every view know its document is ready,
    // and shows the frame when asked.
    void InitialUpdateFrame(Document* document, bool makeVisible);
    virtual void ActivateFrame(int showCommand);
    // Makes the first view fill the client area.
    void RecalcLayout();

    void DestroyWindow() override;

protected:
    int OnCreate() override;
    virtual bool OnCreateClient(const CreateContext& context);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool event(QEvent* event) override;

private:
    View* FirstView() const;

    const CreateContext* m_pCreating = nullptr;
    QPointer<View> m_pActiveView;
};

} // namespace framework
