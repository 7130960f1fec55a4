#pragma once

#include "app/appstate.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <variant>

namespace quillcap {

// The remembered capture rectangles across runs: four blocks (left, top,
// width, height), each a count line and then one value a line, oldest first.
class RecentRegionsFile {
public:
    static constexpr const char *kFileName = "lastcaps.txt";
    static constexpr int kMaxSaved = 20;
    // Larger values make the file damaged.
    static constexpr qint32 kMaxValue = 10'000'000;

    struct ReadError {
        int number;
        QString description;
    };
    using ReadResult = std::variant<QList<CaptureRegion>, ReadError>;

    // The newest kMaxSaved regions.
    static QByteArray Serialize(const QList<CaptureRegion> &regions);
    static ReadResult Parse(QIODevice &device);
};

// The procedures around the file, with their log lines.
void SaveCaps(AppState &state);
void LoadLastCaps(AppState &state);
// Of several equal regions keeps only the newest; the survivors stay oldest
// first, so the arrow keys never step through the same rectangle twice.
void RemoveDuplicatesFromRecentSnaps(AppState &state);

} // namespace quillcap
