#include "traytool/notify/MenuBase.h"

#include <QIcon>
#include <QMouseEvent>

CMenuBase::CMenuBase(QWidget* parent) : QMenu(parent) {}

void CMenuBase::mouseReleaseEvent(QMouseEvent* event)
{
    QAction* action = actionAt(event->position().toPoint());
    if (!action || action->property(kCanHideMenuProperty).toString() == QLatin1String("true")) {
        QMenu::mouseReleaseEvent(event);
        return;
    }
    action->setIcon(action->icon().isNull() ? QIcon(kCheckIcon) : QIcon());
    action->activate(QAction::Trigger);
}
