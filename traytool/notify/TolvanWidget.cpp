#include "traytool/notify/TolvanWidget.h"

#include "shared/SharedRegions.h"
#include "traytool/core/ProcessState.h"
#include "traytool/notify/ButtonBase.h"
#include "traytool/notify/PushSound.h"
#include "traytool/notify/TolvanWidgetItem.h"
#include "traytool/push/PushParser.h"
#include "ui_TolvanWidgetItem.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <string>

namespace {

const QString kForcedOffline = QStringLiteral("下线");
const QString kCloseNormalImage = QStringLiteral(":/MerivoSiteSystem/Image/btn_cancel_normal.png");
const QString kCloseHoverImage = QStringLiteral(":/MerivoSiteSystem/Image/btn_cancel_hover.png");

bool isTaskType(const QString& type)
{
    return type == QLatin1String("110") || type == QLatin1String("111");
}

} // namespace

CTolvanWidget::CTolvanWidget(QWidget* parent) : CTolvanWidget(CConfigure(), parent) {}

CTolvanWidget::CTolvanWidget(const CConfigure& config, QWidget* parent) : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);
    setWindowFlags(Qt::FramelessWindowHint | Qt::SubWindow | Qt::WindowStaysOnTopHint);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(245, 245, 245));
    setPalette(palette);
    setAutoFillBackground(true);

    buildTitleBar();
    m_pItem = new CTolvanWidgetItem(config);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_pTitleBar);
    layout->addWidget(m_pItem);

    m_pShowTimer = new QTimer(this);
    connect(m_pShowTimer, &QTimer::timeout, this, &CTolvanWidget::slotUpdateShow);
    connect(m_pItem, &CTolvanWidgetItem::singDetalBtn, this, &CTolvanWidget::slotCloseBtn);
    m_pStateTimer = new QTimer(this);
    m_pStateTimer->start(kTickPeriodMs);
    connect(m_pStateTimer, &QTimer::timeout, this, &CTolvanWidget::slotLoginState);

    m_stateRegion = platform::SharedMemory::openExisting(std::string(tolvan::kClientStateRegion));
    m_soundRegion = platform::SharedMemory::openExisting(std::string(tolvan::kSoundRegion));

    m_pSound = new CPushSound(QCoreApplication::applicationDirPath() + "/PushSound.wav", this);
    m_nShowTicks = 0;
}

CTolvanWidget::~CTolvanWidget() = default;

void CTolvanWidget::buildTitleBar()
{
    m_pTitleBar = new QWidget(this);
    auto* layout = new QHBoxLayout(m_pTitleBar);
    layout->setContentsMargins(10, 1, 1, 1);

    auto* logo = new QLabel(m_pTitleBar);
    logo->setPixmap(QPixmap(QStringLiteral(":/MerivoSiteSystem/Image/img_tolvan.png")));
    logo->setFixedSize(24, 24);
    auto* caption = new QLabel(QStringLiteral("消息通知"), m_pTitleBar);

    auto* close = new CButtonBase(m_pTitleBar);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setFixedSize(24, 24);
    close->setFlat(true);
    close->setCursor(Qt::PointingHandCursor);
    close->m_nBorderMode = 3;
    close->setStyleSheet("QPushButton{background-image:url(" + kCloseNormalImage + ");}");
    close->m_strHoverImage = kCloseHoverImage;
    close->m_strNormalImage = kCloseNormalImage;

    layout->addWidget(logo);
    layout->addWidget(caption);
    layout->addWidget(close);
    m_pTitleBar->setFixedSize(kWidth, 32);
    connect(close, &QPushButton::clicked, this, &CTolvanWidget::slotCloseBtn);
}

bool CTolvanWidget::isAutoHideRunning() const { return m_pShowTimer->isActive(); }

void CTolvanWidget::setReferenceSize(int width, int /*height*/)
{
    m_nReferenceWidth = width;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_nScreenWidth = screen->geometry().width();
        m_nScreenHeight = screen->geometry().height();
    }
    placeOnScreen();
}

void CTolvanWidget::placeOnScreen()
{
    move(m_nScreenWidth - m_nReferenceWidth + 45, m_nScreenHeight - height() - 43);
}

void CTolvanWidget::slotTolvanPushInfo(QString strPushInfo)
{
    if (strPushInfo == kForcedOffline) {
        // A forced log-off while a message is shown is dropped.
        if (!isVisible())
            showForcedOffline();
        return;
    }
    if (strPushInfo.contains(QLatin1String("content")))
        showPushMessage(strPushInfo);
}

void CTolvanWidget::showPushMessage(const QString& text)
{
    Ui::CTolvanWidgetItem& form = m_pItem->form();
    m_pItem->startHorn();

    QString content = CPushParser::readField(text, QStringLiteral("content"));
    const QString taskNum = CPushParser::readField(text, QStringLiteral("taskNum"));
    const QString subtitle = CPushParser::readField(text, QStringLiteral("subtitle"));
    QString title = CPushParser::readField(text, QStringLiteral("title"));
    const QString type = CPushParser::readField(text, QStringLiteral("type"));

    // A message with a title only shows it large in the content line.
    if (!title.isEmpty() && content.isEmpty()) {
        m_pItem->setContentFont(CTolvanWidgetItem::kLargeContentFont);
        content = title;
        title.clear();
    } else {
        m_pItem->setContentFont(CTolvanWidgetItem::kNormalContentFont);
    }
    m_pItem->m_strType = type;

    if (type == QLatin1String("113") && m_soundRegion.isValid() && tolvan::readSoundSwitch(m_soundRegion.data()) != 0)
        m_pSound->play();

    const bool noTasks = taskNum == QLatin1String("0");
    if (!isVisible() && !noTasks) {
        m_pShowTimer->start(kTickPeriodMs);
        m_nShowTicks = 0;
    } else if (noTasks && isTaskType(type)) {
        // Nothing left to do: the popup goes, the tray keeps blinking.
        hide();
        return;
    }

    if (isVisible())
        m_nShowTicks = 0;
    resize(kWidth, kHeight);
    placeOnScreen();
    show();

    form.label_2->hide();
    form.m_pTitleLabel->setText(title);
    if (isTaskType(type)) {
        form.m_pCountLabel->setText(taskNum.isEmpty() ? QString() : taskNum + QStringLiteral("个"));
        form.label->show();
        form.m_pCountLabel->show();
    } else {
        form.label->hide();
        form.m_pCountLabel->hide();
    }
    form.m_pSubTitleLabel->setText(subtitle.isEmpty() ? QString() : "[" + subtitle + "]");
    form.m_pContensDownLabel->setText(content);
    if (isTaskType(type))
        form.label->setText(QStringLiteral("待处理任务数:"));

    m_pTitleBar->setFixedSize(width(), 30);
    m_pItem->setDetailMode();
    form.line->show();
    emit signBubble(true);
}

void CTolvanWidget::showForcedOffline()
{
    Ui::CTolvanWidgetItem& form = m_pItem->form();
    if (m_pItem->m_nFontMode == CTolvanWidgetItem::kLargeContentFont)
        m_pItem->setContentFont(CTolvanWidgetItem::kNormalContentFont);

    show();
    resize(kWidth, kHeight);
    placeOnScreen();
    m_pTitleBar->setFixedSize(width(), 30);

    form.m_pTitleLabel->setText(QStringLiteral("您的账号在另一地点登录,您被迫下线"));
    form.m_pCountLabel->setText(QString());
    form.m_pSubTitleLabel->setText(QString());
    form.m_pContensDownLabel->setText(QStringLiteral("如果这不是您本人操作,那么您的密码可能已经泄露,"));
    form.label->setText(QString());
    form.label_2->show();
    form.label_2->setFixedSize(form.label_2->width(), 28);

    m_pItem->setReloginMode();
    form.line->hide();
    m_pItem->openLogoutPage();
}

void CTolvanWidget::slotUpdateShow()
{
    if (isVisible() && m_nShowTicks == kTicksShown) {
        // Hidden by time: the tray icon keeps blinking.
        hide();
        m_pShowTimer->stop();
        m_nShowTicks = 0;
        return;
    }
    ++m_nShowTicks;
}

void CTolvanWidget::slotMouseEnter()
{
    if (isVisible())
        return;
    show();
    m_nShowTicks = 0;
    m_pShowTimer->start(kTickPeriodMs);
}

void CTolvanWidget::slotCloseBtn(bool)
{
    hide();
    m_pShowTimer->stop();
    m_nShowTicks = 0;
    emit signBubble(false);
}

void CTolvanWidget::slotLoginState()
{
    if (!m_stateRegion.isValid())
        return;
    const QString state = QString::number(tolvan::readClientState(m_stateRegion.data()));
    traytool::setClientStateText(state);
    if (state == QLatin1String("2"))
        emit signOfforOnLine(true);
}
