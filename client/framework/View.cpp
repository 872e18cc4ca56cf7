#include "client/framework/View.h"

#include "client/framework/FrameWnd.h"

namespace framework {

bool View::Create(Wnd* parent, const QRect& rect, int controlId)
{
    m_nControlId = controlId;
    return CreateWindowHandle(parent, rect, {}, true);
}

FrameWnd* View::GetParentFrame() const
{
    for (QWidget* widget = parentWidget(); widget; widget = widget->parentWidget()) {
        if (auto* frame = dynamic_cast<FrameWnd*>(widget))
            return frame;
    }
    return nullptr;
}

void View::OnMouseActivate()
{
    if (FrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() != this)
        frame->SetActiveView(this);
}

} // namespace framework
