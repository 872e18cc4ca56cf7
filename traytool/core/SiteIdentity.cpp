#include "traytool/core/SiteIdentity.h"

#include "traytool/core/Configure.h"
#include "traytool/core/ProcessState.h"

namespace traytool {

int applySiteIdentity(const QStringList& arguments, const CConfigure& config)
{
    const QString identity = arguments.isEmpty() ? QString() : arguments.first();
    const QStringList parts = identity.split(';', Qt::KeepEmptyParts);
    if (parts.size() < 2) {
        // No identity: keep the stored one (written back as it is).
        config.setUsername(config.getUsername());
        config.setCompId(config.getCompId());
        return kStartWithoutIdentity;
    }
    const QString storedUsername = config.getUsername();
    if (storedUsername.isEmpty() || storedUsername != identity) {
        config.setUsername(parts.at(1));
        config.setCompId(parts.at(0));
    }
    return kStartWithIdentity;
}

QStringList commandLineArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace traytool
