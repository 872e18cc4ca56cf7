#pragma once
// The tray tool's main window. The user never sees it: it owns the tray
// tool's components and wires them together. Today it owns the push client
// and the reader of the client's login state; the notification popup and the
// tray icon join it (and the popup takes over the state reading).

#include <QMainWindow>
#include <QSystemTrayIcon>
#include <memory>

namespace Ui {
class MerivoSiteSystemClass;
}

class CClientStateReader;
class CSocketToService;

class MerivoSiteSystem : public QMainWindow {
    Q_OBJECT

public:
    explicit MerivoSiteSystem(QWidget* parent = nullptr);
    ~MerivoSiteSystem() override;

    CSocketToService* pushClient() const { return m_pSocket; }

signals:
    void signShowMianWindow();

private slots:
    // A single left click on the tray icon brings the client forward.
    void iconIsActived(QSystemTrayIcon::ActivationReason reason);

private:
    std::unique_ptr<Ui::MerivoSiteSystemClass> ui;
    CSocketToService* m_pSocket = nullptr;
    CClientStateReader* m_pStateReader = nullptr;
};
