#include "mainwindow/minisplash.h"

#include "app/appicon.h"
#include "platform/platform.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

namespace quillcap {

namespace {

// Small windows of our own that stay out of the window manager's way: they
// may stand partly beyond the screen and never take the focus.
constexpr Qt::WindowFlags kFloating =
    Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint;

int ScreenWidthTwips(const ScreenInfo &screens) {
    return int(std::lround(screens.PrimarySize().width() * screens.TwipsPerPixelX()));
}

int ScreenHeightTwips(const ScreenInfo &screens) {
    return int(std::lround(screens.PrimarySize().height() * screens.TwipsPerPixelY()));
}

QPoint FromTwips(const ScreenInfo &screens, int left, int top) {
    return screens.PrimaryOrigin() + QPoint(int(std::lround(left / screens.TwipsPerPixelX())),
                                            int(std::lround(top / screens.TwipsPerPixelY())));
}

} // namespace

SplashToolTip::SplashToolTip(const ScreenInfo &screens, int splashHeight)
    : QWidget(nullptr, kFloating), m_screens(screens), m_splashHeight(splashHeight),
      m_label(new QLabel(this)) {
    setObjectName(QStringLiteral("frmSplashToolTip"));
    setWindowTitle(QStringLiteral("QuillCap next name"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral("background-color: rgb(255, 255, 225); color: black;"));
    m_label->setObjectName(QStringLiteral("lblDefaultPath"));
    m_label->setFont(QFont(QStringLiteral("Arial")));
}

void SplashToolTip::SetText(const QString &text) {
    m_label->setText(text);
    m_label->adjustSize();
    const double tx = m_screens.TwipsPerPixelX(), ty = m_screens.TwipsPerPixelY();
    const int labelTop = 20;
    const int width = int(std::lround(m_label->width() * tx));
    const int height = labelTop + int(std::lround(m_label->height() * ty)) + 40;
    m_label->move(0, int(std::lround(labelTop / ty)));
    resize(m_label->width(), int(std::lround(height / ty)));
    move(FromTwips(m_screens, ScreenWidthTwips(m_screens) - 300 - width,
                   ScreenHeightTwips(m_screens) - m_splashHeight));
}

MiniSplash::MiniSplash(const ScreenInfo &screens, const QString &version, const QString &nextName)
    : QWidget(nullptr, kFloating), m_screens(screens),
      m_slide(ScreenWidthTwips(screens), int(std::lround(kWidthPx * screens.TwipsPerPixelX()))),
      m_top(ScreenHeightTwips(screens) -
            2 * int(std::lround(kHeightPx * screens.TwipsPerPixelY()))),
      m_tip(screens, int(std::lround(kHeightPx * screens.TwipsPerPixelY()))) {
    setObjectName(QStringLiteral("frmMiniSplash"));
    setWindowTitle(QStringLiteral("QuillCap splash"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kWidthPx, kHeightPx);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setStyleSheet(QStringLiteral("#frmMiniSplash { background-color: rgb(40, 48, 72);"
                                 " border: 1px solid rgb(200, 200, 220); }"
                                 " QLabel { color: white; }"));
    setAttribute(Qt::WA_StyledBackground);

    auto *picture = new QLabel(this);
    picture->setPixmap(AppIcon().pixmap(48, 48));
    auto *name = new QLabel(QStringLiteral("QuillCap"), this);
    QFont bold = name->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    name->setFont(bold);
    auto *versionLabel = new QLabel(version, this);
    versionLabel->setObjectName(QStringLiteral("lblVersion"));
    auto *words = new QVBoxLayout;
    words->addStretch(1);
    words->addWidget(name);
    words->addWidget(versionLabel);
    words->addStretch(1);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(12, 8, 12, 8);
    row->addWidget(picture);
    row->addSpacing(8);
    row->addLayout(words, 1);
    for (QLabel *label : findChildren<QLabel *>())
        label->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_tip.SetText(QStringLiteral("  ") + nextName + QStringLiteral("  "));
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &MiniSplash::Step);
}

MiniSplash::~MiniSplash() = default;

void MiniSplash::Start() {
    MoveToTwips(m_slide.Left(), m_top);
    show();
    m_tip.raise();
    m_timer.start(m_slide.IntervalMs());
}

void MiniSplash::Step() {
    const SplashSlide::Stage stage = m_slide.Tick();
    MoveToTwips(m_slide.Left(), m_top);
    if (stage != SplashSlide::Stage::Done) {
        m_timer.start(m_slide.IntervalMs());
        return;
    }
    m_tip.hide();
    hide();
    emit finished();
}

void MiniSplash::MoveToTwips(int left, int top) {
    move(FromTwips(m_screens, left, top));
}

void MiniSplash::mousePressEvent(QMouseEvent *) {
    emit clicked();
}

// Once shown, the tip stays until the splash has gone.
void MiniSplash::mouseMoveEvent(QMouseEvent *) {
    if (m_slide.CurrentStage() != SplashSlide::Stage::Done)
        m_tip.show();
}

} // namespace quillcap
