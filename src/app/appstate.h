#pragma once

#include "app/debuglog.h"
#include "app/monitortable.h"

#include <QList>
#include <QPoint>
#include <QString>
#include <array>
#include <optional>

namespace quillcap {

// One remembered capture rectangle, in overlay pixels.
struct CaptureRegion {
    qint32 x = 0;
    qint32 y = 0;
    qint32 w = 0;
    qint32 h = 0;
    friend bool operator==(const CaptureRegion &, const CaptureRegion &) = default;
};

// The image types in list order; the position is what the settings store.
inline constexpr std::array<const char *, 5> kFileTypes = {"BMP", "JPG", "PNG", "GIF", "TIF"};
inline constexpr int kDefaultFileTypeIndex = 2;
inline constexpr const char *kDefaultTemplate = "Quillcap_";

// The settings the main window shows; the window's controls mirror them.
struct Settings {
    QString saveFolder;
    QString prefix = QString::fromLatin1(kDefaultTemplate);
    int fileTypeIndex = kDefaultFileTypeIndex;
    // Check boxes: 0 unchecked, 1 checked (2 greyed, accepted from files).
    int startMinimized = 0;
    int showMsg = 1;
    int playSound = 1;
    int showMouse = 0;
    int showInTaskbar = 0;

    QString FileTypeText() const {
        return QString::fromLatin1(
            kFileTypes[fileTypeIndex >= 0 && fileTypeIndex < 5 ? fileTypeIndex
                                                               : kDefaultFileTypeIndex]);
    }
};

// Everything the windows share, owned by the application and passed by
// reference; nothing else holds mutable program-wide state.
struct AppState {
    DebugLog log;

    bool ShowMessageAfter = true;
    QString SoundFilePath;
    QString ErrorSoundPath;
    QString VideoModulePath; // the film writer, loaded on the first film
    qint32 minLeft = 0;
    qint32 maxRight = 0;
    qint32 minTop = 0;
    qint32 maxBottom = 0;
    MonitorTable monitorTable;
    bool EnableMultiMonitor = true;
    QString LastOverrideName;
    bool OpenFromMiniSplash = false;
    // Empty when no folder could be used: settings then live in memory only.
    QString UserAppFolder;
    qint32 NumberOfSnaps = 0;

    QString programFolder;
    // Where captures go when no folder is chosen or the chosen one is gone.
    QString defaultSaveFolder;
    Settings settings;

    // Twips. The position of the main window the last time it was in the
    // normal state; this is what is saved, never a minimized position.
    QPoint lastNormalPosition{0, 0};
    // Twips; set when the preferences name a window position.
    std::optional<QPoint> loadedPosition;

    // Oldest first, newest last; no limit during a run.
    QList<CaptureRegion> recentRegions;

    QString DataFile(const QString &name) const {
        return UserAppFolder.isEmpty() ? QString() : UserAppFolder + u'/' + name;
    }
};

} // namespace quillcap
