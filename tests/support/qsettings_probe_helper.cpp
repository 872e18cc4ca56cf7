// Reads and writes an INI file the way the tray tool does (QSettings in INI
// format), for tests that check what other writers and readers make of it.
// Values travel as hex of their UTF-8 bytes, so any text fits on a line.
//
//   qsettings_probe_helper FILE get KEY...
//       one line per key: "<type> <hex of the text>", or "missing"
//   qsettings_probe_helper FILE set KEY HEX [KEY HEX]...
//       stores each text, then prints "status <QSettings::status()>"
//   qsettings_probe_helper FILE repeat KEY PREFIX COUNT
//       COUNT times, each through a fresh settings object: stores PREFIX
//       followed by the round's number (three digits)
// KEY is "Group/key" as QSettings spells it.

#include <QCoreApplication>
#include <QSettings>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString file = args[1];
    const QString command = args[2];

    if (command == "get") {
        QSettings settings(file, QSettings::IniFormat);
        for (qsizetype i = 3; i < args.size(); ++i) {
            if (!settings.contains(args[i])) {
                std::printf("missing\n");
                continue;
            }
            const QVariant value = settings.value(args[i]);
            std::printf("%s %s\n", value.typeName(), value.toString().toUtf8().toHex().constData());
        }
        return 0;
    }
    if (command == "set") {
        QSettings settings(file, QSettings::IniFormat);
        for (qsizetype i = 3; i + 1 < args.size(); i += 2)
            settings.setValue(args[i], QString::fromUtf8(QByteArray::fromHex(args[i + 1].toLatin1())));
        settings.sync();
        std::printf("status %d\n", int(settings.status()));
        return settings.status() == QSettings::NoError ? 0 : 1;
    }
    if (command == "repeat" && args.size() == 6) {
        const int count = args[5].toInt();
        for (int round = 0; round < count; ++round) {
            QSettings settings(file, QSettings::IniFormat);
            settings.setValue(args[3], args[4] + QString::number(round).rightJustified(3, '0'));
            settings.sync();
            if (settings.status() != QSettings::NoError)
                return 1;
        }
        return 0;
    }
    return 2;
}
