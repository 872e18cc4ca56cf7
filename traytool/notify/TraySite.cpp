#include "traytool/notify/TraySite.h"

#include "shared/Messages.h"
#include "traytool/core/Log.h"
#include "traytool/core/ProcessState.h"
#include "traytool/notify/ClientWindow.h"
#include "traytool/notify/MenuBase.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QIcon>
#include <QTimer>

CTraySite::CTraySite(QObject* parent) : QSystemTrayIcon(parent)
{
    // The menu has no parent widget to belong to; the icon deletes it.
    m_pMenu = new CMenuBase();
    m_pReloginAction = new QAction(QStringLiteral("重新登录"), this);
    m_pExitAction = new QAction(QStringLiteral("退出"), this);
    m_pExitAction->setIcon(QIcon(kExitIcon));
    m_pReloginAction->setProperty(CMenuBase::kCanHideMenuProperty, QStringLiteral("true"));
    m_pReloginAction->setIconVisibleInMenu(true);
    m_pMenu->addAction(m_pReloginAction);
    m_pMenu->addAction(m_pExitAction);

    connect(m_pReloginAction, &QAction::triggered, this, &CTraySite::slotOpenMainPanel);
    // Both run on one click, the request to quit first.
    connect(m_pExitAction, &QAction::triggered, QCoreApplication::instance(), &QCoreApplication::quit);
    connect(m_pExitAction, &QAction::triggered, this, &CTraySite::slotCloseMainWindow);

    m_pReloginAction->setVisible(false);
    setContextMenu(m_pMenu);
    setToolTip(QStringLiteral("Tolvan-站长管理系统"));

    // Started by the client without a site identity: grey, yet not off line.
    showImage(traytool::startMode() == traytool::kStartWithoutIdentity ? kOffLineIcon : kOnLineIcon);

    m_pBlinkTimer = new QTimer(this);
    m_nBlinkCount = 0;
    m_pMouseTimer = new QTimer(this);
    m_pMouseTimer->start(kMousePollPeriodMs);
    connect(m_pMouseTimer, &QTimer::timeout, this, &CTraySite::getMousePos);
    connect(m_pBlinkTimer, &QTimer::timeout, this, &CTraySite::updateIcon);
}

CTraySite::~CTraySite() { delete m_pMenu; }

bool CTraySite::isBlinking() const { return m_pBlinkTimer->isActive(); }

void CTraySite::showImage(const QString& path)
{
    m_strCurrentImage = path;
    setIcon(QIcon(path));
}

void CTraySite::slotOpenMainPanel()
{
    const platform::WindowHandle client = traytool::findClientWindow();
    if (!client) {
        traytool::startClient(std::string());
        return;
    }
    if (platform::foregroundWindow() != client)
        platform::bringWindowToTop(client);
    platform::showWindow(client, platform::SW_SHOWMAXIMIZED);
}

void CTraySite::slotCloseMainWindow()
{
    if (const platform::WindowHandle client = traytool::findClientWindow())
        platform::sendMessage(client, platform::WM_CLOSE, tolvan::kCloseEndsClient, 0);
    hide();
}

void CTraySite::updateIcon()
{
    ++m_nBlinkCount;
    // While blinking the lit phase is the on-line image, also off line.
    showImage(m_nBlinkCount % 2 == 1 ? kBlinkDarkIcon : kOnLineIcon);
}

void CTraySite::slotBubbleShow(bool bShow)
{
    m_nBlinkCount = 0;
    if (bShow) {
        m_pBlinkTimer->start(kBlinkPeriodMs);
        return;
    }
    m_pBlinkTimer->stop();
    showImage(m_bOffLine ? kOffLineIcon : kOnLineIcon);
}

bool CTraySite::isPointerOnIcon(const QPoint& pointer, const QRect& iconGeometry)
{
    if (iconGeometry.isEmpty())
        return false;
    return pointer.x() > iconGeometry.x() && pointer.x() < iconGeometry.x() + kHoverBoxSize &&
           pointer.y() > iconGeometry.y() && pointer.y() < iconGeometry.y() + kHoverBoxSize;
}

void CTraySite::getMousePos()
{
    // While the pointer stays there this repeats every poll; the popup
    // ignores it while it is visible.
    if (m_pBlinkTimer->isActive() && isPointerOnIcon(QCursor::pos(), geometry()))
        emit signMouseEnterTray();
}

void CTraySite::slotOffLine(bool bOffLine)
{
    m_bOffLine = bOffLine;
    if (bOffLine) {
        // The blink count is kept; a later blink starts from zero anyway.
        m_pBlinkTimer->stop();
        showImage(kOffLineIcon);
        m_pReloginAction->setVisible(true);
        CLog::instance()->writeLog(QStringLiteral("离线托盘图片变灰!"));
    } else {
        showImage(kOnLineIcon);
        m_pReloginAction->setVisible(false);
        CLog::instance()->writeLog(QStringLiteral("在线托盘图片变亮!"));
    }
}
