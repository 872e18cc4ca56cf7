#include "traytool/core/MerivoSiteSystem.h"

#include "traytool/core/ClientStateReader.h"
#include "traytool/push/SocketToService.h"
#include "ui_MerivoSiteSystem.h"

MerivoSiteSystem::MerivoSiteSystem(QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MerivoSiteSystemClass>())
{
    ui->setupUi(this);
    // The push client's timer runs from here on.
    m_pSocket = new CSocketToService(this);
    m_pStateReader = new CClientStateReader(this);
    // A logout in the client closes the push connection.
    connect(m_pStateReader, &CClientStateReader::signOfforOnLine, m_pSocket,
            &CSocketToService::slotBreakConnect1);
}

MerivoSiteSystem::~MerivoSiteSystem()
{
    delete m_pStateReader;
    delete m_pSocket;
}

void MerivoSiteSystem::iconIsActived(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        emit signShowMianWindow();
}
