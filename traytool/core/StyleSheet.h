#pragma once

#include <QString>

class QApplication;

namespace traytool {

inline const QString kStyleSheetResource = QStringLiteral(":/MerivoSiteSystem/Image/MainFrame.qss");

// Applies the style sheet resource to the whole application; without the
// resource the application keeps its default look. Returns whether it did.
bool applyApplicationStyleSheet(QApplication& application);

} // namespace traytool
