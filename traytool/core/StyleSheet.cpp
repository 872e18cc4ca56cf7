#include "traytool/core/StyleSheet.h"

#include <QApplication>
#include <QFile>

namespace traytool {

bool applyApplicationStyleSheet(QApplication& application)
{
    QFile file(kStyleSheetResource);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    application.setStyleSheet(QString::fromLatin1(file.readAll()));
    return true;
}

} // namespace traytool
