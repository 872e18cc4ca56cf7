#pragma once
// The tray tool's main window. The user never sees it: it owns the tray
// tool's components and wires them together: the push client, the
// notification popup and the tray icon.

#include <QMainWindow>
#include <QSystemTrayIcon>
#include <memory>

namespace Ui {
class MerivoSiteSystemClass;
}

class CSocketToService;
class CTolvanWidget;
class CTraySite;

class MerivoSiteSystem : public QMainWindow {
    Q_OBJECT

public:
    explicit MerivoSiteSystem(QWidget* parent = nullptr);
    ~MerivoSiteSystem() override;

    CSocketToService* pushClient() const { return m_pSocket; }
    CTolvanWidget* popup() const { return m_pPopup; }
    CTraySite* traySite() const { return m_pTraySite; }

signals:
    void signShowMianWindow();

private slots:
    // A single left click on the tray icon brings the client forward; other
    // activations do nothing here.
    void iconIsActived(QSystemTrayIcon::ActivationReason reason);

private:
    std::unique_ptr<Ui::MerivoSiteSystemClass> ui;
    CTraySite* m_pTraySite = nullptr;
    CSocketToService* m_pSocket = nullptr;
    // No parent: it lives until the process ends.
    CTolvanWidget* m_pPopup = nullptr;
};
