#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class QTimer;

namespace quillcap {

// `frmMsgBox`: the short note after a capture. A small top-most window with
// one label `lblMessage`, centred on the primary screen, that closes itself
// when `ByeTimer` fires and is then deleted.
class MessageWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSuccessMs = 1000;
    static constexpr int kErrorMs = 3000;
    static constexpr QColor kSuccessColour{192, 255, 192};
    static constexpr QColor kErrorColour{255, 192, 192};

    explicit MessageWindow(QWidget *parent = nullptr);

    // Styles the window (error: pink, bold, 3 s; else light green, 1 s),
    // sizes it to the whole text, shows it with the focus and starts the timer.
    // A carriage return in `text` starts a new line.
    void ShowMessage(const QString &text, bool error);

    // The text as given, before line breaks were added to fit the screen.
    QString message() const { return m_message; }

private:
    void FitToText();

    QLabel *m_label;
    QTimer *m_byeTimer;
    QString m_message;
};

} // namespace quillcap
