#pragma once
// A view: a child window inside a frame that shows the document. A click
// into a view (or into any widget inside it) makes it the frame's active
// view; with views inside views the innermost one wins.

#include "client/framework/Wnd.h"

namespace framework {

class Document;
class FrameWnd;

class View : public Wnd {
public:
    explicit View(QWidget* parent = nullptr) : Wnd(parent) {}

    // Creates the view's window as a visible child of `parent`.
    virtual bool Create(Wnd* parent, const QRect& rect, int controlId);

    Document* GetDocument() const { return m_pDocument; }
    void SetDocument(Document* document) { m_pDocument = document; }
    FrameWnd* GetParentFrame() const;
    int GetDlgCtrlID() const { return m_nControlId; }

    virtual void OnInitialUpdate() {}
    // Makes this view the active view of its frame.
    virtual void OnMouseActivate();

private:
    Document* m_pDocument = nullptr;
    int m_nControlId = 0;
};

} // namespace framework
