#pragma once
// The notification popup: a small always-on-top window in the lower right
// corner of the screen that announces every pushed message, plays the push
// sound for new bidding orders, makes the tray icon blink until the user has
// dealt with the message, and hides itself again after about eleven seconds.
// It also announces a forced log-off ("下线") with a relogin button.
//
// Every second it reads the client state from the shared memory "tolvan",
// publishes it as the client state text and, while the client reports a
// logout (2), emits signOfforOnLine(true). The regions "tolvan" and "sound"
// are opened once, at construction; one the client has not created by then
// stays off for the whole run.

#include "platform/SharedMemory.h"
#include "traytool/core/Configure.h"

#include <QString>
#include <QWidget>

class CPushSound;
class CTolvanWidgetItem;
class QTimer;

class CTolvanWidget : public QWidget {
    Q_OBJECT

public:
    explicit CTolvanWidget(QWidget* parent = nullptr);
    // Another installation's configuration (tools and tests).
    explicit CTolvanWidget(const CConfigure& config, QWidget* parent = nullptr);
    ~CTolvanWidget() override;

    static constexpr int kWidth = 420;
    static constexpr int kHeight = 158;
    static constexpr int kTickPeriodMs = 1000;
    // The popup hides on the tick after this many.
    static constexpr int kTicksShown = 10;

    // Takes the primary screen's size once and places the popup from it:
    // x = screen width - width + 45, y = screen height - popup height - 43.
    // The height is not used.
    void setReferenceSize(int width, int height);

    CTolvanWidgetItem* item() const { return m_pItem; }
    CPushSound* sound() const { return m_pSound; }
    QWidget* titleBar() const { return m_pTitleBar; }
    int showTicks() const { return m_nShowTicks; }
    bool isAutoHideRunning() const;

signals:
    void signBubble(bool bShow);
    void signOfforOnLine(bool bOffLine);

public slots:
    void slotCloseBtn(bool bChecked);
    void slotTolvanPushInfo(QString strPushInfo);
    void slotMouseEnter();
    void slotUpdateShow();
    void slotLoginState();

private:
    void buildTitleBar();
    void showPushMessage(const QString& text);
    void showForcedOffline();
    void placeOnScreen();

    CTolvanWidgetItem* m_pItem = nullptr;
    QTimer* m_pShowTimer = nullptr;
    QTimer* m_pStateTimer = nullptr;
    platform::SharedMemory m_stateRegion;
    int m_nShowTicks = 0;
    QWidget* m_pTitleBar = nullptr;
    int m_nScreenWidth = 0;
    int m_nScreenHeight = 0;
    int m_nReferenceWidth = 0;
    CPushSound* m_pSound = nullptr;
    platform::SharedMemory m_soundRegion;
};
