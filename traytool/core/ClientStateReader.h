#pragma once
// Publishes the client's login state: once a second it reads the 32-bit value
// in the shared memory "tolvan" and stores it as the client state text; while
// the value is 2 (logged out) it emits signOfforOnLine(true) every second.
// The region is opened once, at construction; when the client has not created
// it yet, the state stays "0" for the whole run.
//
// The notification popup does this job once it exists (it polls on the same
// one-second rhythm and emits the same signal).

#include "platform/SharedMemory.h"

#include <QObject>

class QTimer;

class CClientStateReader : public QObject {
    Q_OBJECT

public:
    explicit CClientStateReader(QObject* parent = nullptr);
    bool isOpen() const { return m_region.isValid(); }

signals:
    void signOfforOnLine(bool bOffLine);

public slots:
    void slotLoginState();

private:
    platform::SharedMemory m_region;
    QTimer* m_pStateTimer = nullptr;
};
