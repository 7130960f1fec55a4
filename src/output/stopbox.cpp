#include "output/stopbox.h"

#include "app/appstate.h"
#include "app/usermessages.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quillcap {

namespace {

constexpr int kWidth = 400;
constexpr int kButtonWidth = 62;
constexpr int kButtonHeight = 50;
constexpr int kCounterHeight = 18;
constexpr int kBannerHeight = 24;

QPixmap BannerPicture(QSize size) {
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, size.width(), 0);
    gradient.setColorAt(0, QColor(24, 48, 96));
    gradient.setColorAt(1, QColor(72, 112, 176));
    painter.fillRect(picture.rect(), gradient);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(picture.rect().adjusted(8, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("QuillCap  Movie Capture"));
    return picture;
}

QPixmap ClosePicture(QSize size) {
    QPixmap picture(size);
    picture.fill(QColor(176, 40, 40));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 2.5));
    const int m = size.width() / 4;
    painter.drawLine(m, m, size.width() - m, size.height() - m);
    painter.drawLine(size.width() - m, m, m, size.height() - m);
    return picture;
}

QLabel *Explanation(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

StopBox::StopBox(Platform &platform, UserMessages &messages)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_platform(platform), m_messages(messages) {
    setObjectName(QStringLiteral("frmStopBox"));
    setWindowTitle(QStringLiteral("QuillCap movie"));
    setAttribute(Qt::WA_DeleteOnClose);
    BuildControls();
    m_timer5sec = new QTimer(this);
    m_timer5sec->setObjectName(QStringLiteral("timer5sec"));
    m_timer5sec->setInterval(1000);
    connect(m_timer5sec, &QTimer::timeout, this, &StopBox::timer5sec_Timer);
    connect(m_cmdStop, &QPushButton::clicked, this, &StopBox::cmdStop_Click);
    // Load: ready, green, top-most.
    m_dragging = false;
    Paint(kReadyColour);
    m_platform.windows->SetTopMost(this, true);
}

void StopBox::BuildControls() {
    m_cmdStop = new QPushButton(QStringLiteral("Start"), this);
    m_cmdStop->setObjectName(QStringLiteral("cmdStop"));
    m_cmdStop->setGeometry(0, 0, kButtonWidth, kButtonHeight);
    QFont bold = m_cmdStop->font();
    bold.setBold(true);
    m_cmdStop->setFont(bold);
    m_lblImNumber = new QLabel(QStringLiteral("(counter)"), this);
    m_lblImNumber->setObjectName(QStringLiteral("lblImNumber"));
    m_lblImNumber->setAlignment(Qt::AlignCenter);
    m_lblImNumber->setGeometry(0, kButtonHeight, kButtonWidth, kCounterHeight);

    const QSize bannerSize(kWidth - kButtonWidth - kBannerHeight, kBannerHeight);
    m_imgBanner = new QLabel(this);
    m_imgBanner->setObjectName(QStringLiteral("imgBanner"));
    m_imgBanner->setGeometry(QRect(QPoint(kButtonWidth, 0), bannerSize));
    m_imgBanner->setPixmap(BannerPicture(bannerSize));
    m_imgBanner->setCursor(Qt::SizeAllCursor);
    m_imgBanner->installEventFilter(this);
    m_imgClose = new QLabel(this);
    m_imgClose->setObjectName(QStringLiteral("imgClose"));
    m_imgClose->setGeometry(kWidth - kBannerHeight, 0, kBannerHeight, kBannerHeight);
    m_imgClose->setPixmap(ClosePicture(QSize(kBannerHeight, kBannerHeight)));
    m_imgClose->setToolTip(QStringLiteral("Close"));
    m_imgClose->installEventFilter(this);

    m_lblCapDim = new QLabel(QStringLiteral("2300 x 1200"), this);
    m_lblCapDim->setObjectName(QStringLiteral("lblCapDim"));
    m_lblCapDim->setFont(bold);
    m_lblCapDim->setGeometry(kButtonWidth + 10, kBannerHeight + 2, 200, 20);
    m_lblCapSpot = new QLabel(this);
    m_lblCapSpot->setObjectName(QStringLiteral("lblCapSpot"));
    m_lblCapSpot->setGeometry(kButtonWidth + 10, kBannerHeight + 22, 200, 20);

    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(10, 6, 10, 10);
    layout->addWidget(Explanation(
        QStringLiteral("This feature allows you to tell QuillCap to take a continuous sequence "
                       "of screen captures in the area that you have defined."),
        body));
    layout->addWidget(Explanation(
        QStringLiteral("When you press START CAPTURE this whole window will minimize to just "
                       "the STOP button.  You can move this window out of the way now or once "
                       "you have started capturing."),
        body));
    auto *options = new QGroupBox(QStringLiteral("Some Options"), body);
    auto *optionsLayout = new QGridLayout(options);
    m_chk5sec = new QCheckBox(QStringLiteral("5 second countdown before capturing"), options);
    m_chk5sec->setObjectName(QStringLiteral("chk5sec"));
    m_chkSaveAsAVI = new QCheckBox(QStringLiteral("Save as AVI instead"), options);
    m_chkSaveAsAVI->setObjectName(QStringLiteral("chkSaveAsAVI"));
    m_txtInterval = new QLineEdit(QStringLiteral("0.05"), options);
    m_txtInterval->setObjectName(QStringLiteral("txtInterval"));
    m_text2 = new QLineEdit(QStringLiteral("500"), options);
    m_text2->setObjectName(QStringLiteral("Text2"));
    for (QLineEdit *field : {m_txtInterval, m_text2})
        field->setFixedWidth(64);
    optionsLayout->addWidget(m_chk5sec, 0, 0, 1, 2);
    optionsLayout->addWidget(m_chkSaveAsAVI, 1, 0, 1, 2);
    optionsLayout->addWidget(m_txtInterval, 2, 0);
    optionsLayout->addWidget(new QLabel(QStringLiteral("seconds between captures"), options), 2, 1);
    optionsLayout->addWidget(m_text2, 3, 0);
    optionsLayout->addWidget(
        new QLabel(QStringLiteral("Maximum number of images captured"), options), 3, 1);
    optionsLayout->setColumnStretch(1, 1);
    layout->addWidget(options);
    layout->addWidget(Explanation(
        QStringLiteral("The maximum capture rate is effected by the speed of your computer and "
                       "hard drive, the size of the capture area, and the compression method "
                       "you choose.  (PNG is slower than JPG, for example)"),
        body));
    const int top = kButtonHeight + kCounterHeight;
    body->setFixedWidth(kWidth);
    body->move(0, top);
    body->setFixedHeight(body->heightForWidth(kWidth) > 0 ? body->heightForWidth(kWidth)
                                                          : body->sizeHint().height());
    setFixedSize(kWidth, top + body->height());
}

void StopBox::Paint(const QColor &colour) {
    // With a border of its own the button is drawn flat in the colour; the
    // style's bevel would wash it out.
    m_cmdStop->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black; "
                                            "border: 1px solid #808080; }")
                                 .arg(colour.name()));
}

void StopBox::ShowArea(const CaptureRegion &box) {
    m_lblCapDim->setText(QString::number(box.w) + QStringLiteral(" x ") + QString::number(box.h));
    m_lblCapSpot->setText(QStringLiteral("at ") + QString::number(box.x) + u',' +
                          QString::number(box.y));
}

void StopBox::ShowFrameNumber(const QString &padded) {
    m_lblImNumber->setText(padded);
}

void StopBox::cmdStop_Click() {
    if (m_states.state() == StopBoxStates::State::Ready) {
        const MovieOptionsCheck check = CheckMovieOptions(m_txtInterval->text(), m_text2->text());
        m_txtInterval->setText(check.intervalText);
        if (!check.options) {
            m_messages.Warn(check.problem);
            return;
        }
        m_options = *check.options;
        m_asVideo = m_chkSaveAsAVI->isChecked();
        m_lblImNumber->clear();
    }
    Apply(m_states.Click(m_chk5sec->isChecked()));
}

void StopBox::timer5sec_Timer() {
    Apply(m_states.Tick());
}

void StopBox::Apply(const StopBoxStates::Step &step) {
    if (step.stopCountdown)
        m_timer5sec->stop();
    if (step.pink)
        Paint(kRunningColour);
    if (step.shrink) {
        setFixedSize(qRound(kShrunkWidthTwips / m_platform.screens->TwipsPerPixelX()),
                     qRound(kShrunkHeightTwips / m_platform.screens->TwipsPerPixelY()));
    }
    if (!step.caption.isEmpty()) {
        m_cmdStop->setText(step.caption);
        m_cmdStop->repaint();
    }
    if (step.startCountdown)
        m_timer5sec->start();
    if (step.startSequence)
        emit startRequested(m_options, m_asVideo);
    if (step.stopSequence) {
        // The window goes at once; the last frames are finished behind it.
        hide();
        emit stopRequested();
        if (!m_closing)
            close();
    }
    if (step.abortCapture)
        emit aborted();
}

void StopBox::SequenceEnded() {
    m_states.SequenceEnded();
    close();
}

void StopBox::closeEvent(QCloseEvent *event) {
    m_closing = true;
    m_platform.windows->SetTopMost(this, false);
    Apply(m_states.Unload());
    event->accept();
}

bool StopBox::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_imgClose && event->type() == QEvent::MouseButtonRelease) {
        close();
        return true;
    }
    if (watched != m_imgBanner)
        return QWidget::eventFilter(watched, event);
    // Only mouse events are read as such.
    const auto *mouse = dynamic_cast<QMouseEvent *>(event);
    if (!mouse)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton) {
            m_dragging = true;
            m_grab = mouse->position().toPoint();
        }
        return true;
    case QEvent::MouseMove:
        if (m_dragging)
            move(pos() + mouse->position().toPoint() - m_grab);
        return true;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

} // namespace quillcap
