#include "traytool/core/ClientStateReader.h"

#include "shared/SharedRegions.h"
#include "traytool/core/ProcessState.h"

#include <QTimer>
#include <string>

namespace {
constexpr int kPollPeriodMs = 1000;
}

CClientStateReader::CClientStateReader(QObject* parent)
    : QObject(parent),
      m_region(platform::SharedMemory::openExisting(std::string(tolvan::kClientStateRegion)))
{
    m_pStateTimer = new QTimer(this);
    connect(m_pStateTimer, &QTimer::timeout, this, &CClientStateReader::slotLoginState);
    m_pStateTimer->start(kPollPeriodMs);
}

void CClientStateReader::slotLoginState()
{
    if (!m_region.isValid() || m_region.size() < sizeof(std::int32_t))
        return;
    const QString state = QString::number(tolvan::readClientState(m_region.data()));
    traytool::setClientStateText(state);
    if (state == QLatin1String("2"))
        emit signOfforOnLine(true);
}
