#include "traytool/notify/TolvanWidgetItem.h"

#include "shared/SiteAddresses.h"
#include "traytool/core/ProcessState.h"
#include "traytool/notify/ClientWindow.h"
#include "ui_TolvanWidgetItem.h"

#include <QCoreApplication>
#include <QFont>
#include <QMovie>
#include <QPalette>

namespace {

const QString kFontFamily = QStringLiteral("微软雅黑");
const QString kDetailStyle =
    QStringLiteral("QPushButton{background-image:url(:/MerivoSiteSystem/Image/ShowDetalInfo.png);}");
const QString kReloginStyle =
    QStringLiteral("QPushButton{background-image:url(:/MerivoSiteSystem/Image/relogin.png);}");

// The texts are set in "微软雅黑"; where that font is missing, the nearest
// Chinese fonts of this system stand in for it.
void substituteFontFamily()
{
    QFont::insertSubstitutions(kFontFamily, {QStringLiteral("Microsoft YaHei"),
                                             QStringLiteral("WenQuanYi Zen Hei"),
                                             QStringLiteral("Noto Sans CJK SC")});
}

void setLabelLook(QWidget* label, int pointSize, bool bold, const QString& colour = QString())
{
    QFont font(kFontFamily, pointSize);
    font.setBold(bold);
    label->setFont(font);
    if (!colour.isEmpty()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(colour));
        label->setPalette(palette);
    }
}

void setButtonMode(QPushButton* button, const QString& style, QSize size)
{
    button->setStyleSheet(style);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFixedSize(size);
}

} // namespace

CTolvanWidgetItem::CTolvanWidgetItem(QWidget* parent) : CTolvanWidgetItem(CConfigure(), parent) {}

CTolvanWidgetItem::CTolvanWidgetItem(const CConfigure& config, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::CTolvanWidgetItem>()), m_config(config)
{
    substituteFontFamily();
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    setDetailMode();

    setLabelLook(ui->m_pCountLabel, 11, true, QStringLiteral("#fe673e"));
    setLabelLook(ui->m_pSubTitleLabel, 10, false, QStringLiteral("#9f9f9f"));
    setLabelLook(ui->m_pContensDownLabel, 10, false);
    setLabelLook(ui->label_2, 10, false);
    setLabelLook(ui->label, 11, false, QStringLiteral("#656565"));
    setLabelLook(ui->m_pTitleLabel, 13, true, QStringLiteral("#2d2d2d"));

    ui->m_pContensDownLabel->adjustSize();
    ui->label_2->hide();
    connect(ui->m_pBtn, &QPushButton::clicked, this, &CTolvanWidgetItem::slotOpenMainPag);
}

CTolvanWidgetItem::~CTolvanWidgetItem() = default;

void CTolvanWidgetItem::startHorn()
{
    if (m_bHornStarted)
        return;
    m_bHornStarted = true;
    const QString folder = QCoreApplication::applicationDirPath();
    // Image readers (GIF) may also come from the plug-in folder beside us.
    QCoreApplication::addLibraryPath(folder + "/plugins");
    ui->m_pPicLabel->setContentsMargins(0, 0, 0, 0);
    m_pHornMovie = new QMovie(folder + "/Image/horn.gif", QByteArray(), this);
    ui->m_pPicLabel->setMovie(m_pHornMovie);
    ui->m_pPicLabel->setFixedSize(50, 50);
    m_pHornMovie->start();
}

void CTolvanWidgetItem::setContentFont(int fontMode)
{
    m_nFontMode = fontMode;
    if (fontMode == kLargeContentFont)
        setLabelLook(ui->m_pContensDownLabel, 13, true, QStringLiteral("#2d2d2d"));
    else
        setLabelLook(ui->m_pContensDownLabel, 10, false);
}

void CTolvanWidgetItem::setDetailMode()
{
    setButtonMode(ui->m_pBtn, kDetailStyle, QSize(60, 17));
    m_nBtnMode = kDetailMode;
}

void CTolvanWidgetItem::setReloginMode()
{
    setButtonMode(ui->m_pBtn, kReloginStyle, QSize(94, 30));
    m_nBtnMode = kReloginMode;
}

QString CTolvanWidgetItem::pageForButton()
{
    if (m_nBtnMode == kReloginMode) {
        QString page = m_config.getExpUrl();
        if (page.isEmpty()) {
            page = traytool::siteRootAddress();
            m_config.setExpUrl(page);
        }
        return page;
    }
    if (m_strType == QLatin1String("110") || m_strType == QLatin1String("111"))
        return m_config.getTaskTakeUrl();
    if (m_strType == QLatin1String("113"))
        return m_config.getGrabUrl();
    if (m_strType == QLatin1String("116"))
        return m_config.getSuccGrabUrl();
    return QString();
}

void CTolvanWidgetItem::slotOpenMainPag(bool)
{
    const bool relogin = m_nBtnMode == kReloginMode;
    const std::string page = CConfigure::toUtf8String(pageForButton());
    if (const platform::WindowHandle client = traytool::findClientWindow()) {
        if (!platform::isWindowVisible(client))
            platform::showWindow(client, platform::SW_SHOWMAXIMIZED);
        else if (platform::isIconic(client) || platform::foregroundWindow() != client)
            platform::switchToThisWindow(client, true);
        traytool::sendPageToClient(client, page);
    } else {
        traytool::startClient(page);
    }
    emit singDetalBtn(false);
    if (relogin)
        traytool::setReloginRequest(1);
}

void CTolvanWidgetItem::openLogoutPage()
{
    QString page = m_config.getLogoutUrl();
    if (page.isEmpty()) {
        page = traytool::siteRootAddress() + QString::fromUtf8(tolvan::kLogoutPath.data(),
                                                               qsizetype(tolvan::kLogoutPath.size()));
        m_config.setLogoutUrl(page);
    }
    const std::string bytes = CConfigure::toUtf8String(page);
    if (const platform::WindowHandle client = traytool::findClientWindow()) {
        if (platform::isIconic(client))
            platform::switchToThisWindow(client, true);
        traytool::sendPageToClient(client, bytes);
    } else {
        traytool::startClient(bytes);
    }
}

namespace traytool {

QString siteRootAddress()
{
    return QString::fromUtf8(tolvan::kSiteRoot.data(), qsizetype(tolvan::kSiteRoot.size()));
}

} // namespace traytool
