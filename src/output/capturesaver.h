#pragma once

#include "output/capturerequest.h"

#include <QImage>
#include <QString>
#include <functional>

namespace quillcap {

struct AppState;

// The end of a single capture: cuts the box out of the frozen desktop, writes
// it into the save folder, remembers the region, and tells the user by sound
// and message. Knows files, not windows: everything it shows or plays goes
// through the services it is given.
class CaptureSaver {
public:
    struct Services {
        std::function<void(const QString &path)> PlaySoundFile;
        std::function<void(const QString &text, bool error)> ShowMessage;
        std::function<void(const QImage &picture)> PutOnClipboard;
        // The next numbered name; `rescan` looks at the folder again first
        // (another program took the name meanwhile).
        std::function<QString(bool rescan)> NextImageName;
    };

    // How often a name taken meanwhile gives way to the next one.
    static constexpr int kMaxNameAttempts = 100;

    CaptureSaver(AppState &state, Services services)
        : m_state(state), m_services(std::move(services)) {}

    // Returns the name of the file written, or attempted when the save
    // failed, without its folder.
    QString CaptureAndSave(const QImage &desktop, const CaptureRequest &request);

private:
    struct Outcome {
        QString fullName;
        bool saved = false;
        QString reason; // why it failed, in the system's words
    };
    Outcome Write(const QImage &picture, const CaptureRequest &request);

    AppState &m_state;
    Services m_services;
};

} // namespace quillcap
