#pragma once
// The body of the notification popup: horn, title, subtitle, content, the
// count row and one action button. The button either opens the message's page
// in the site client (detail mode) or, after a forced log-off, the page for
// logging in again (relogin mode).

#include "traytool/core/Configure.h"

#include <QString>
#include <QWidget>
#include <memory>

namespace Ui {
class CTolvanWidgetItem;
}

class QMovie;

class CTolvanWidgetItem : public QWidget {
    Q_OBJECT

public:
    explicit CTolvanWidgetItem(QWidget* parent = nullptr);
    // Another installation's configuration (tools and tests).
    explicit CTolvanWidgetItem(const CConfigure& config, QWidget* parent = nullptr);
    ~CTolvanWidgetItem() override;

    enum ButtonMode { kReloginMode = 1, kDetailMode = 2 };
    enum FontMode { kLargeContentFont = 0, kNormalContentFont = 1 };

    Ui::CTolvanWidgetItem& form() { return *ui; }

    // The first time only: the animated horn beside the message.
    void startHorn();
    void setContentFont(int fontMode);
    void setDetailMode();
    void setReloginMode();
    // Opens the logout page in the client (after a forced log-off).
    void openLogoutPage();

    // The page the action button opens now, as text.
    QString pageForButton();

    int m_nBtnMode = kDetailMode;
    QString m_strType;
    int m_nFontMode = kNormalContentFont;

signals:
    void singDetalBtn(bool bChecked);

public slots:
    void slotOpenMainPag(bool bChecked);

private:
    std::unique_ptr<Ui::CTolvanWidgetItem> ui;
    CConfigure m_config;
    QMovie* m_pHornMovie = nullptr;
    bool m_bHornStarted = false;
};

namespace traytool {

// The root address of the web site system: the relogin page while expUrl is
// empty, and the base of the logout page while logoutUrl is empty.
QString siteRootAddress();

} // namespace traytool
