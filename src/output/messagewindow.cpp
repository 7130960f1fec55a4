#include "output/messagewindow.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace quillcap {

namespace {

constexpr int kMinWidth = 360;
constexpr int kMinHeight = 72;
constexpr int kMargin = 14;

bool isBreak(QChar c) {
    return c == u'/' || c == u'\\' || c == u' ';
}

// Breaks a line wider than `maxWidth`, preferably after a path separator or
// a blank: a long path has no blanks for the label's own word wrap.
QString breakLine(const QString &line, const QFontMetrics &metrics, int maxWidth) {
    QString out;
    qsizetype start = 0;
    while (metrics.horizontalAdvance(line.mid(start)) > maxWidth) {
        // The longest piece that fits, at least one character.
        qsizetype end = start + 1;
        while (end < line.size() &&
               metrics.horizontalAdvance(line.mid(start, end + 1 - start)) <= maxWidth)
            ++end;
        qsizetype cut = end;
        for (qsizetype i = end; i > start; --i) {
            if (isBreak(line[i - 1])) {
                cut = i;
                break;
            }
        }
        out += line.mid(start, cut - start) + u'\n';
        start = cut;
    }
    return out + line.mid(start);
}

QString fitLines(const QString &text, const QFontMetrics &metrics, int maxWidth) {
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QStringList lines = normal.split(u'\n');
    for (QString &line : lines)
        line = breakLine(line, metrics, maxWidth);
    return lines.join(u'\n');
}

void paint(QWidget *widget, const QColor &colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

MessageWindow::MessageWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_label(new QLabel(this)), m_byeTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("frmMsgBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_label->setObjectName(QStringLiteral("lblMessage"));
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setTextFormat(Qt::PlainText);
    m_byeTimer->setObjectName(QStringLiteral("ByeTimer"));
    m_byeTimer->setSingleShot(true);
    connect(m_byeTimer, &QTimer::timeout, this, &QWidget::close);
    paint(this, kSuccessColour);
    paint(m_label, kSuccessColour);
}

void MessageWindow::ShowMessage(const QString &text, bool error) {
    const QColor colour = error ? kErrorColour : kSuccessColour;
    paint(this, colour);
    paint(m_label, colour);
    QFont font = m_label->font();
    font.setBold(error);
    m_label->setFont(font);
    m_byeTimer->setInterval(error ? kErrorMs : kSuccessMs);
    m_message = text;
    FitToText();
    show();
    raise();
    activateWindow();
    m_byeTimer->start();
}

void MessageWindow::FitToText() {
    QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int maxTextWidth = qMax(kMinWidth, area.width() * 9 / 10) - 2 * kMargin;
    m_label->setText(fitLines(m_message, QFontMetrics(m_label->font()), maxTextWidth));
    const QSize text = m_label->sizeHint();
    // Grows with the text, never below the small default size; a new text
    // on a shown window never shrinks it.
    QSize size(qMax(kMinWidth, text.width() + 2 * kMargin),
               qMax(kMinHeight, text.height() + 2 * kMargin));
    if (isVisible())
        size = size.expandedTo(this->size());
    setFixedSize(size);
    m_label->setGeometry(kMargin, kMargin, size.width() - 2 * kMargin, size.height() - 2 * kMargin);
    move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

} // namespace quillcap
