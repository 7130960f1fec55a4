#pragma once

#include "output/movieoptions.h"
#include "output/stopboxstates.h"

#include <QPoint>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace quillcap {

struct CaptureRegion;
struct Platform;
class UserMessages;

// `frmStopBox`: the movie's control window. Start (after an optional
// countdown) shrinks it to its button, now Stop; the recording itself is
// the owner's, reached through the signals.
class StopBox : public QWidget {
    Q_OBJECT
public:
    static constexpr QColor kReadyColour{192, 255, 192};
    static constexpr QColor kRunningColour{255, 192, 192};
    // The shrunk window, in twips: the button and the frame counter under it.
    static constexpr int kShrunkWidthTwips = 930;
    static constexpr int kShrunkHeightTwips = 1020;

    StopBox(Platform &platform, UserMessages &messages);

    // lblCapDim and lblCapSpot.
    void ShowArea(const CaptureRegion &box);
    // lblImNumber: the last frame written.
    void ShowFrameNumber(const QString &padded);
    // The sequence ended by itself: the window closes without aborting.
    void SequenceEnded();

signals:
    void startRequested(const quillcap::MovieOptions &options, bool asVideo);
    void stopRequested();
    void aborted();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void cmdStop_Click();
    void timer5sec_Timer();
    void Apply(const StopBoxStates::Step &step);
    void Paint(const QColor &colour);

    Platform &m_platform;
    UserMessages &m_messages;
    StopBoxStates m_states;
    MovieOptions m_options;
    bool m_asVideo = false;
    bool m_dragging = false;
    bool m_closing = false;
    QPoint m_grab;

    QPushButton *m_cmdStop = nullptr;
    QLabel *m_lblImNumber = nullptr;
    QLabel *m_imgBanner = nullptr;
    QLabel *m_imgClose = nullptr;
    QLabel *m_lblCapDim = nullptr;
    QLabel *m_lblCapSpot = nullptr;
    QCheckBox *m_chk5sec = nullptr;
    QCheckBox *m_chkSaveAsAVI = nullptr;
    QLineEdit *m_txtInterval = nullptr;
    QLineEdit *m_text2 = nullptr;
    QTimer *m_timer5sec = nullptr;
};

} // namespace quillcap
