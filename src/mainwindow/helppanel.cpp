#include "mainwindow/helppanel.h"

#include <QLabel>
#include <QPainter>
#include <cmath>

namespace quillcap {

namespace {

const QColor kBackground(255, 252, 238);
const QColor kBorder(150, 140, 110);

QLabel *textLabel(QWidget *parent, const QString &text, bool bold, Qt::Alignment align) {
    auto *label = new QLabel(text, parent);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(align | Qt::AlignTop);
    return label;
}

} // namespace

HelpPanel::HelpPanel(const HelpPanelContent &content, double twipsPerPixelX, double twipsPerPixelY,
                     QWidget *owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_twipsX(twipsPerPixelX), m_twipsY(twipsPerPixelY), m_slide(content.client.width(), 0) {
    setObjectName(content.name);
    // Not shown as a title, but lets window lists and screen readers tell
    // the panels apart.
    setWindowTitle(content.title);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMinimumSize(1, 1);
    m_viewport = new QWidget(this);
    m_picture = new QWidget(m_viewport);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    BuildPicture(content);
    resize(Pixels(0, 0, content.client.width(), content.client.height()).size());
    m_timer.setInterval(PanelSlide::kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &HelpPanel::Tick);
    ApplySlide();
}

QRect HelpPanel::Pixels(int left, int top, int width, int height) const {
    const auto x = [this](int twips) { return int(std::lround(twips / m_twipsX)); };
    const auto y = [this](int twips) { return int(std::lround(twips / m_twipsY)); };
    return QRect(x(left), y(top), x(width), y(height));
}

void HelpPanel::BuildPicture(const HelpPanelContent &content) {
    using C = HelpPanelContent;
    m_picture->setGeometry(Pixels(0, 0, content.client.width(), content.client.height()));
    QLabel *title = textLabel(m_picture, content.title, true, Qt::AlignLeft);
    title->setObjectName(QStringLiteral("title"));
    title->setStyleSheet(QStringLiteral("color: rgb(31, 58, 104);"));
    title->setGeometry(Pixels(C::kTitleLeft, C::kTitleTop, C::kTitleWidth, C::kRowHeight));
    const Qt::Alignment keyAlign = content.keysAlignRight ? Qt::AlignRight : Qt::AlignLeft;
    const int descriptionWidth = content.client.width() - content.descriptionLeft;
    for (const HelpRow &row : content.rows) {
        QLabel *key = textLabel(m_picture, row.key, true, keyAlign);
        key->setWordWrap(row.keyLines > 1);
        key->setGeometry(Pixels(content.keyLeft, row.top, content.keyRight - content.keyLeft,
                                C::kRowHeight * row.keyLines));
        textLabel(m_picture, row.description, false, Qt::AlignLeft)
            ->setGeometry(
                Pixels(content.descriptionLeft, row.top, descriptionWidth, C::kRowHeight));
    }
}

void HelpPanel::OpenCloseBox() {
    m_slide.OpenCloseBox();
    ApplySlide();
    show();
    m_timer.start();
}

void HelpPanel::Tick() {
    const bool done = m_slide.Tick();
    ApplySlide();
    if (!done)
        return;
    m_timer.stop();
    if (!m_slide.open())
        hide();
    emit slideFinished(m_slide.open());
}

void HelpPanel::ApplySlide() {
    // A window cannot be narrower than a pixel.
    const QRect slid = Pixels(m_slide.pictureLeft(), 0, m_slide.width(), 0);
    resize(qMax(1, slid.width()), height());
    m_viewport->setGeometry(rect().adjusted(1, 1, -1, -1));
    m_picture->move(slid.left() - 1, -1); // the viewport starts inside the border
}

void HelpPanel::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    p.setPen(kBorder);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace quillcap
