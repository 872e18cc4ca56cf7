#include "traytool/core/MerivoSiteSystem.h"

#include "traytool/notify/TolvanWidget.h"
#include "traytool/notify/TraySite.h"
#include "traytool/push/SocketToService.h"
#include "ui_MerivoSiteSystem.h"

namespace {
// The popup places itself from this reference size: 5 pixels from the right
// edge, 43 above the bottom edge of the screen.
constexpr int kPopupReferenceWidth = 470;
constexpr int kPopupReferenceHeight = 217;
} // namespace

MerivoSiteSystem::MerivoSiteSystem(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MerivoSiteSystemClass>())
{
    ui->setupUi(this);
    // The push client's timer runs from here on.
    m_pSocket = new CSocketToService(this);
    m_pPopup = new CTolvanWidget();
    connect(m_pSocket, &CSocketToService::signPushInfo, m_pPopup, &CTolvanWidget::slotTolvanPushInfo);
    m_pTraySite = new CTraySite(this);

    connect(m_pTraySite, &QSystemTrayIcon::activated, this, &MerivoSiteSystem::iconIsActived);
    connect(this, &MerivoSiteSystem::signShowMianWindow, m_pTraySite, &CTraySite::slotOpenMainPanel);
    connect(m_pPopup, &CTolvanWidget::signBubble, m_pTraySite, &CTraySite::slotBubbleShow);
    connect(m_pTraySite, &CTraySite::signMouseEnterTray, m_pPopup, &CTolvanWidget::slotMouseEnter);
    connect(m_pSocket, &CSocketToService::signOffLine, m_pTraySite, &CTraySite::slotOffLine);
    connect(m_pPopup, &CTolvanWidget::signOfforOnLine, m_pTraySite, &CTraySite::slotOffLine);
    connect(m_pPopup, &CTolvanWidget::signOfforOnLine, m_pSocket, &CSocketToService::slotBreakConnect1);

    m_pTraySite->show();
    m_pPopup->setReferenceSize(kPopupReferenceWidth, kPopupReferenceHeight);
}

MerivoSiteSystem::~MerivoSiteSystem()
{
    delete m_pTraySite;
    delete m_pSocket;
}

void MerivoSiteSystem::iconIsActived(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        emit signShowMianWindow();
}
