#pragma once

#include "output/capturerequest.h"
#include "output/movierecorder.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace quillcap {

struct AppState;
struct Platform;
class MainWindow;
class RecordingBorder;
class StopBox;
class UserMessages;

// One movie, from the M key to the return to the main window: the control
// window, the recorder and the border around what is recorded.
class MovieFlow : public QObject {
    Q_OBJECT
public:
    MovieFlow(AppState &state, Platform &platform, UserMessages &messages, MainWindow &window,
              const MovieRequest &request);
    ~MovieFlow() override;

    // Shows the control window at the primary monitor's corner.
    void Open();
    // The program ends: a running sequence stops, its frames and region kept.
    void StopForExit();

signals:
    // The session is over: the last frame's name, or "xxxx" for nothing.
    void ended(const QString &LastPic);

private:
    void StartMovieCapture(const MovieOptions &options, bool asVideo);
    void StopMovieCapture();
    void SequenceFinished(const MovieRecorder::Outcome &outcome);
    void Abort();
    QImage SnapIt();
    QRect AreaOnScreen() const;

    AppState &m_state;
    Platform &m_platform;
    UserMessages &m_messages;
    MainWindow &m_window;
    MovieRequest m_request;
    QPointer<StopBox> m_stopBox;
    std::unique_ptr<MovieRecorder> m_recorder;
    std::unique_ptr<RecordingBorder> m_border;
    bool m_ended = false;
};

} // namespace quillcap
