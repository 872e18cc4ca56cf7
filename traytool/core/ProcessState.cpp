#include "traytool/core/ProcessState.h"

namespace traytool {
namespace {

int g_nStartMode = kStartWithIdentity;
int g_nReloginRequest = 0;

QString& clientState()
{
    static QString text = QStringLiteral("0");
    return text;
}

} // namespace

int startMode() { return g_nStartMode; }
void setStartMode(int mode) { g_nStartMode = mode; }

QString clientStateText() { return clientState(); }
void setClientStateText(const QString& text) { clientState() = text; }

int reloginRequest() { return g_nReloginRequest; }
void setReloginRequest(int flag) { g_nReloginRequest = flag; }

} // namespace traytool
