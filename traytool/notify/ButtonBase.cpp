#include "traytool/notify/ButtonBase.h"

#include <QPalette>

namespace {

QString borderText(int mode)
{
    switch (mode) {
    case 1: return QStringLiteral("border:2px groove gray;border-radius:10px;padding:2px 4px;");
    case 2: return QStringLiteral("border: 0px solid red;border-radius:10px;");
    default: return QString();
    }
}

} // namespace

CButtonBase::CButtonBase(QWidget* parent) : QPushButton(parent)
{
    applyImage(QString());
    QPalette palette = this->palette();
    palette.setColor(QPalette::ButtonText, Qt::white);
    setPalette(palette);
}

void CButtonBase::applyImage(const QString& path)
{
    setStyleSheet("QPushButton{background-image:url(" + path + ");" + borderText(m_nBorderMode) + "}");
}

void CButtonBase::enterEvent(QEnterEvent* event)
{
    applyImage(m_strHoverImage);
    QPushButton::enterEvent(event);
}

void CButtonBase::leaveEvent(QEvent* event)
{
    applyImage(m_strNormalImage);
    QPushButton::leaveEvent(event);
}

void CButtonBase::mousePressEvent(QMouseEvent* event) { QPushButton::mousePressEvent(event); }
