#pragma once
// A menu whose items either behave as usual or act as check items that keep
// the menu open. An item whose dynamic property "canHideMenu" reads "true" is
// a normal item; every other item is a check item: a click toggles its check
// mark (its icon) and triggers it, and the menu stays open.

#include <QMenu>

class CMenuBase : public QMenu {
    Q_OBJECT

public:
    explicit CMenuBase(QWidget* parent = nullptr);

    static constexpr const char* kCanHideMenuProperty = "canHideMenu";
    static inline const QString kCheckIcon = QStringLiteral(":/MerivoSiteSystem/Image/icon_selected.png");

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
