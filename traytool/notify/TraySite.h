#pragma once
// The tray tool's notification-area icon: shows whether the site is on line,
// blinks while a pushed message waits, asks the popup to show again when the
// pointer rests on the blinking icon, brings the site client forward (or
// starts it), and offers the menu "重新登录" (only while off line) and "退出".

#include <QSystemTrayIcon>

class CMenuBase;
class QAction;
class QTimer;

class CTraySite : public QSystemTrayIcon {
    Q_OBJECT

public:
    explicit CTraySite(QObject* parent = nullptr);
    ~CTraySite() override;

    static inline const QString kOnLineIcon = QStringLiteral(":/MerivoSiteSystem/Image/img_tolvan.png");
    static inline const QString kOffLineIcon = QStringLiteral(":/MerivoSiteSystem/Image/offLine.png");
    // There is no such resource: the dark phase of the blink is an empty icon.
    static inline const QString kBlinkDarkIcon = QStringLiteral(":/MerivoSiteSystem/Image/null.png");
    static inline const QString kExitIcon = QStringLiteral(":/MerivoSiteSystem/Image/icon_exit.png");
    static constexpr int kBlinkPeriodMs = 500;
    static constexpr int kMousePollPeriodMs = 200;
    // The pointer counts as "on the icon" inside this box from its top-left
    // corner, whatever the icon's real size.
    static constexpr int kHoverBoxSize = 24;

    // Whether the pointer is in the hover box of an icon at `iconGeometry`
    // (strictly inside, from its top-left corner). An icon that is shown
    // nowhere (no notification area) has no box.
    static bool isPointerOnIcon(const QPoint& pointer, const QRect& iconGeometry);

    CMenuBase* menu() const { return m_pMenu; }
    QAction* reloginAction() const { return m_pReloginAction; }
    QAction* exitAction() const { return m_pExitAction; }
    bool isOffLine() const { return m_bOffLine; }
    bool isBlinking() const;
    int blinkCount() const { return m_nBlinkCount; }
    // The resource path of the image shown now.
    QString currentImage() const { return m_strCurrentImage; }

signals:
    void signMouseEnterTray();

public slots:
    // Brings the client's window forward, or starts the client.
    void slotOpenMainPanel();
    // Ends the client (WM_CLOSE with wParam 1) and hides the icon.
    void slotCloseMainWindow();
    void updateIcon();
    void slotBubbleShow(bool bShow);
    void getMousePos();
    void slotOffLine(bool bOffLine);

private:
    void showImage(const QString& path);

    CMenuBase* m_pMenu = nullptr;
    QAction* m_pReloginAction = nullptr;
    QAction* m_pExitAction = nullptr;
    bool m_bOffLine = false;
    QTimer* m_pMouseTimer = nullptr;
    QTimer* m_pBlinkTimer = nullptr;
    int m_nBlinkCount = 0;
    QString m_strCurrentImage;
};
