#pragma once
// A push button drawn entirely by a background image, which changes while the
// pointer is over it. The owner sets the two image paths and the border mode
// after construction, as well as the button's size and first style.

#include <QPushButton>
#include <QString>

class CButtonBase : public QPushButton {
    Q_OBJECT

public:
    explicit CButtonBase(QWidget* parent = nullptr);

    // Sets the style "QPushButton{background-image:url(<path>);<border>}".
    void applyImage(const QString& path);

    QString m_strHoverImage;
    QString m_strNormalImage;
    // 1: grooved grey frame with round corners, 2: round corners without a
    // visible frame, anything else: no border text.
    int m_nBorderMode = 0;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};
