#include "overlay/captureoverlay.h"

#include "app/appstate.h"
#include "app/usermessages.h"
#include "overlay/filenamepopup.h"
#include "overlay/overlayload.h"
#include "overlay/shading.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>

namespace quillcap {

namespace {

QString number(qint64 value) {
    return QString::number(value);
}

} // namespace

CaptureOverlay::CaptureOverlay(AppState &state, Platform &platform, UserMessages &messages)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_state(state), m_platform(platform),
      m_messages(messages) {
    setObjectName(QStringLiteral("frmCaptureHold"));
    setWindowTitle(QLatin1String(kTitle));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    if (m_platform.overlayHold)
        m_platform.overlayHold->Prepare(this);
    BuildNoticePanel();
    m_popUp = new quillcap::FileNamePopUp(this);
    for (QWidget *control : m_popUp->findChildren<QWidget *>())
        control->installEventFilter(this);
    connect(m_popUp->cmdPopUpOk(), &QPushButton::clicked, this, &CaptureOverlay::cmdPopUpOk_Click);
    connect(m_popUp->cmdPopupCancel(), &QPushButton::clicked, this,
            &CaptureOverlay::cmdPopupCancel_Click);
}

CaptureOverlay::~CaptureOverlay() {
    if (m_platform.overlayHold)
        m_platform.overlayHold->Release();
}

void CaptureOverlay::BuildNoticePanel() {
    m_notice = new QFrame(this);
    m_notice->setObjectName(QStringLiteral("picWholeDesktopSelected"));
    m_notice->setAutoFillBackground(true);
    QPalette palette = m_notice->palette();
    palette.setColor(QPalette::Window, QColor(255, 192, 128));
    palette.setColor(QPalette::WindowText, Qt::black);
    m_notice->setPalette(palette);
    m_notice->setFrameShape(QFrame::Box);
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSize(11);
    m_noticeText = new QLabel(QStringLiteral("The entire desktop is selected"), m_notice);
    m_noticeText->setObjectName(QStringLiteral("lblDesktopNotice"));
    QFont bold = arial;
    bold.setBold(true);
    m_noticeText->setFont(bold);
    auto *hint = new QLabel(QStringLiteral("pressing R will reset the capture box"), m_notice);
    hint->setFont(arial);
    auto *layout = new QVBoxLayout(m_notice);
    layout->setContentsMargins(16, 10, 16, 10);
    layout->addWidget(m_noticeText, 0, Qt::AlignHCenter);
    layout->addWidget(hint, 0, Qt::AlignHCenter);
    m_notice->adjustSize();
    m_notice->hide();
    // The panel only informs: presses go through to the overlay.
    m_notice->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CaptureOverlay::Load(const CursorImage &cursor) {
    m_finished = m_handedToMovie = false;
    m_request = {};
    m_popUp->hide();
    unsetCursor(); // not the shape the last session's pointer left
    DebugLog &log = m_state.log;
    log.WriteLog(QStringLiteral("Welcome to CaptureHold"));
    log.WriteLog(QStringLiteral("Multiple monitors is enabled"));
    m_desk = QRect(m_state.minLeft, m_state.minTop, m_state.maxRight - m_state.minLeft,
                   m_state.maxBottom - m_state.minTop);
    if (m_desk.width() <= 0 || m_desk.height() <= 0)
        m_desk = QRect(QPoint(0, 0), m_platform.screens->PrimarySize());
    log.WriteLogLazy([&] {
        return QStringLiteral("Desktop parameters are from  (") + number(m_desk.x()) + u',' +
               number(m_desk.y()) + QStringLiteral(") - (") + number(m_desk.x() + m_desk.width()) +
               u',' + number(m_desk.y() + m_desk.height()) + u')';
    });
    log.WriteLogLazy([&] {
        return QStringLiteral("W:H = ") + number(m_desk.width()) + u':' + number(m_desk.height());
    });

    // The window in Qt's coordinates: device pixels divided by the scale.
    const qreal ratio = QGuiApplication::primaryScreen()->devicePixelRatio();
    const QPoint primary = m_platform.screens->PrimaryOrigin();
    setGeometry(QRect(primary + QPoint(qRound(m_desk.x() / ratio), qRound(m_desk.y() / ratio)),
                      QSize(qRound(m_desk.width() / ratio), qRound(m_desk.height() / ratio))));

    log.WriteLog(QStringLiteral("Calling GetScreenArea"));
    m_bright = m_platform.capture->GrabDesktop(m_desk);
    if (m_bright.size() != m_desk.size()) {
        QImage sized(m_desk.size(), QImage::Format_RGB32);
        sized.fill(Qt::black);
        m_bright = sized;
    }
    if (m_state.settings.showMouse != 0) {
        log.WriteLog(QStringLiteral("Drawing cursor on the image (the option is selected)"));
        StampCursor(m_bright, cursor.image, cursor.hotSpot, cursor.position - m_desk.topLeft());
    }
    // Shaded as it is painted: nothing to copy or to run short of now.
    log.WriteLog(QStringLiteral("Copying a dark version of picCaptureHold into picCaptureBack"));

    const QSize monitor1(m_state.monitorTable.MParm(1, 2), m_state.monitorTable.MParm(1, 3));
    const QPoint panel = NoticePanelPosition(m_notice->size() * ratio, monitor1, m_desk.topLeft());
    m_notice->move(QPoint(qRound(panel.x() / ratio), qRound(panel.y() / ratio)));

    m_box = std::make_unique<CaptureBox>(log, m_desk.size());
    m_mouse = std::make_unique<OverlayMouse>(*m_box);
    const QSize primarySize = m_platform.screens->PrimarySize() * ratio;
    m_box->setCap(DefaultCapBox(primarySize));

    QList<QRect> monitors;
    for (int n = 1; n < MonitorTable::kSize; ++n) {
        const QRect monitor(m_state.monitorTable.MParm(n, 0), m_state.monitorTable.MParm(n, 1),
                            m_state.monitorTable.MParm(n, 2), m_state.monitorTable.MParm(n, 3));
        if (!monitor.isEmpty())
            monitors.append(monitor);
    }
    if (monitors.isEmpty())
        monitors.append(m_desk);
    QString why;
    const QRect active =
        UsableActiveWindow(m_platform.capture->ActiveWindow(), monitors, m_desk, why);
    if (!why.isEmpty())
        log.WriteLog(QStringLiteral("(A selects the whole desktop: ") + why + u')');
    log.WriteLogLazy([&] {
        return QStringLiteral("The current  active window (if we want it) is at ") +
               number(active.x()) + u',' + number(active.y()) + QStringLiteral("  (") +
               number(active.width()) + u'x' + number(active.height()) + u')';
    });
    m_keys = std::make_unique<OverlayKeys>(*m_box, m_state, m_desk.topLeft(), active);
    m_keys->SelectPreviousArea();
    m_box->ResetCapBox();
    m_notice->setVisible(m_box->noticeVisible());
    m_noticeText->setText(m_box->noticeText());
    log.WriteLogLazy([&] {
        const CaptureRegion &cap = m_box->cap();
        return QStringLiteral("The current capture window (if we want it) is at ") + number(cap.x) +
               u',' + number(cap.y) + QStringLiteral("  (") + number(cap.w) + u'x' + number(cap.h) +
               u')';
    });
    m_platform.windows->SetTopMost(this, true);
    update(); // a new desktop: all of it is repainted when shown
}

void CaptureOverlay::ShowOverlay() {
    if (m_finished || m_handedToMovie)
        return;
    // Out of the taskbar; this also shows the window.
    m_platform.windows->SetTaskbarButton(this, false);
    raise();
    setFocus(Qt::ActiveWindowFocusReason);
    // The grab brings the keys whatever the window manager thinks of focus;
    // without it, asking for focus is all that is left.
    if (!m_platform.overlayHold) {
        activateWindow();
        return;
    }
    m_platform.overlayHold->Grab(this, [this] { activateWindow(); });
}

void CaptureOverlay::HideOverlay() {
    // Given back before anything else can come up (a message box, the movie's
    // frame), so nothing the user meets next finds the keyboard taken.
    if (m_platform.overlayHold)
        m_platform.overlayHold->Release();
    hide();
}

void CaptureOverlay::StepAside(bool aside) {
    if (aside)
        HideOverlay();
    else
        ShowOverlay();
}

void CaptureOverlay::AbortCapture() {
    Finish(QStringLiteral("xxxx"));
}

void CaptureOverlay::CaptureAndSave(bool toClipboard) {
    HideOverlay();
    CaptureRequest request = m_request;
    request.box = m_box->cap();
    request.toClipboard = toClipboard;
    Finish(m_output ? m_output(m_bright, request) : QStringLiteral("xxxx"));
}

void CaptureOverlay::MovieWindow() {
    if (!m_movie) {
        AbortCapture();
        return;
    }
    HideOverlay();
    m_handedToMovie = true;
    const CaptureRegion cap = m_box->cap();
    m_movie({cap, QRect(m_desk.x() + cap.x, m_desk.y() + cap.y, cap.w, cap.h)});
}

void CaptureOverlay::Finish(const QString &LastPic) {
    if (m_finished)
        return;
    m_finished = true;
    m_platform.windows->SetTopMost(this, false);
    HideOverlay();
    // Let go, so the next grab can reuse the memory.
    m_bright = QImage();
    emit finished(LastPic);
}

QPoint CaptureOverlay::DevicePoint(const QPointF &logical) const {
    const qreal ratio = devicePixelRatioF();
    return QPoint(qRound(logical.x() * ratio), qRound(logical.y() * ratio));
}

void CaptureOverlay::ShowBoxChange(const QRect &before) {
    const QRect after = m_box->shown();
    // Only the pixels that change between bright and shaded are repainted.
    if (after != before)
        update(BoxChangeRegion(before, after, devicePixelRatioF()));
    if (m_box->noticeVisible())
        m_noticeText->setText(m_box->noticeText());
    m_notice->setVisible(m_box->noticeVisible());
}

void CaptureOverlay::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    PaintOverlay(painter, event->region(), m_bright, m_box ? m_box->shown() : QRect());
}

void CaptureOverlay::keyPressEvent(QKeyEvent *event) {
    event->accept();
    if (!m_keys || m_finished || m_handedToMovie)
        return;
    // Taken before the key handler moves the box, so the change is repainted.
    const QRect before = m_box->shown();
    RunKeyCommand(m_keys->KeyDown(*event), before);
}

void CaptureOverlay::RunKeyCommand(KeyCommand command, const QRect &before) {
    switch (command) {
    case KeyCommand::Abort:
        AbortCapture();
        return;
    case KeyCommand::Capture:
        CaptureAndSave(false);
        return;
    case KeyCommand::CaptureToClipboard:
        CaptureAndSave(true);
        return;
    case KeyCommand::FileNamePopUp:
        FileNamePopUp();
        return;
    case KeyCommand::Movie:
        MovieWindow();
        return;
    case KeyCommand::PopUpOk:
        cmdPopUpOk_Click();
        return;
    case KeyCommand::PopUpCancel:
        cmdPopupCancel_Click();
        return;
    default:
        break;
    }
    ShowBoxChange(before);
}

bool CaptureOverlay::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress && m_keys && !m_finished && watched != this)
        return HandlePopUpKey(watched, static_cast<QKeyEvent *>(event));
    return QWidget::eventFilter(watched, event);
}

bool CaptureOverlay::HandlePopUpKey(QObject *target, QKeyEvent *event) {
    // Every key reaches the key handler once, also one typed into the panel;
    // while the panel is open only Enter and Esc act, the rest is typed.
    const QRect before = m_box->shown();
    const KeyCommand command = m_keys->KeyDown(*event);
    if (command == KeyCommand::PopUpOk || command == KeyCommand::PopUpCancel ||
        !m_keys->popUpOpen()) {
        RunKeyCommand(command, before);
        event->accept();
        return true;
    }
    // The control gets the key and nobody else: a key it leaves (Up, F1)
    // would otherwise travel on to the overlay and be handled twice. Qt
    // passes an unaccepted key to the parent even past a filter.
    target->event(event);
    event->accept();
    return true;
}

void CaptureOverlay::FileNamePopUp() {
    DebugLog &log = m_state.log;
    log.WriteLog(QStringLiteral("File Name Pop up box ... "));
    log.WriteLog(QStringLiteral("... last override name was : ") + m_state.LastOverrideName);
    quillcap::FileNamePopUp::Context context;
    context.saveFolder = m_state.settings.saveFolder;
    context.typeText = m_state.settings.FileTypeText();
    context.nextName = m_naming.NextImageName ? m_naming.NextImageName() : QString();
    context.MakePrefix = m_naming.MakePrefix;
    context.GetNextFileNumber = m_naming.GetNextFileNumber;
    m_keys->setPopUpOpen(true);
    m_popUp->Open(context, m_state.LastOverrideName);
    const qreal ratio = devicePixelRatioF();
    const QSize monitor1(m_state.monitorTable.MParm(1, 2), m_state.monitorTable.MParm(1, 3));
    const QPoint at = NoticePanelPosition(m_popUp->size() * ratio, monitor1, m_desk.topLeft());
    m_popUp->move(QPoint(qRound(at.x() / ratio), qRound(at.y() / ratio)));
}

void CaptureOverlay::cmdPopUpOk_Click() {
    const QString text = m_popUp->txtNewFilename()->text();
    if (!text.trimmed().isEmpty()) {
        if (m_popUp->useAsNewPrefix()) {
            if (m_naming.SetPrefix)
                m_naming.SetPrefix(text);
        } else {
            m_request.oneOffName = m_popUp->tempFileName();
            m_request.oneOffMayReplace = m_popUp->nameTaken();
            m_state.LastOverrideName = text;
        }
    }
    cmdPopupCancel_Click();
}

void CaptureOverlay::cmdPopupCancel_Click() {
    m_popUp->hide();
    m_keys->setPopUpOpen(false);
    setFocus(Qt::OtherFocusReason);
}

void CaptureOverlay::mousePressEvent(QMouseEvent *event) {
    if (!m_mouse)
        return;
    m_mouse->press(DevicePoint(event->position()));
}

void CaptureOverlay::mouseMoveEvent(QMouseEvent *event) {
    if (!m_mouse)
        return;
    const QRect before = m_box->shown();
    setCursor(toQtCursor(m_mouse->move(DevicePoint(event->position()))));
    ShowBoxChange(before);
}

void CaptureOverlay::mouseReleaseEvent(QMouseEvent *event) {
    if (!m_mouse)
        return;
    const QRect before = m_box->shown();
    m_mouse->release(event->buttons());
    ShowBoxChange(before);
}

void CaptureOverlay::closeEvent(QCloseEvent *event) {
    // Closed from outside (the window manager, the program ending): nothing
    // was captured.
    AbortCapture();
    event->accept();
}

} // namespace quillcap
