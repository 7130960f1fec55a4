#include "app/recentregionsfile.h"

#include "app/linereader.h"
#include "app/textnumbers.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <limits>

namespace quillcap {

namespace {

qint32 &field(CaptureRegion &region, int block) {
    switch (block) {
    case 0:
        return region.x;
    case 1:
        return region.y;
    case 2:
        return region.w;
    default:
        return region.h;
    }
}

qint32 field(const CaptureRegion &region, int block) {
    return field(const_cast<CaptureRegion &>(region), block);
}

RecentRegionsFile::ReadError lineError(LineReader::Status status) {
    if (status == LineReader::Status::EndOfFile)
        return {62, QStringLiteral("Input past end of file")};
    if (status == LineReader::Status::TooLong)
        return {62, QStringLiteral("Line too long")};
    return {75, QStringLiteral("Path/File access error")};
}

} // namespace

QByteArray RecentRegionsFile::Serialize(const QList<CaptureRegion> &regions) {
    const qsizetype n = regions.size();
    const qsizetype first = n > kMaxSaved ? n - kMaxSaved : 0;
    QByteArray out;
    for (int block = 0; block < 4; ++block) {
        out += fileNumber(n - first).toUtf8() + "\r\n";
        for (qsizetype i = first; i < n; ++i)
            out += QByteArray::number(field(regions[i], block)) + "\r\n";
    }
    return out;
}

RecentRegionsFile::ReadResult RecentRegionsFile::Parse(QIODevice &device) {
    LineReader reader(device);
    QList<CaptureRegion> regions;
    for (int block = 0; block < 4; ++block) {
        auto countLine = reader.ReadLine();
        if (!countLine)
            return lineError(reader.status());
        const double count = roundHalfEven(leadingNumber(trimBlanks(*countLine)));
        if (count < std::numeric_limits<qint16>::min() ||
            count > std::numeric_limits<qint16>::max())
            return ReadError{6, QStringLiteral("Overflow")};
        const qsizetype n = qMax<qsizetype>(0, qsizetype(count));
        // The four blocks describe the same regions: a count that differs
        // from the first block's would pair up values of different regions.
        if (block == 0)
            regions.resize(n);
        else if (n != regions.size())
            return ReadError{380, QStringLiteral("Blocks of different length")};
        for (qsizetype i = 0; i < n; ++i) {
            auto line = reader.ReadLine();
            if (!line)
                return lineError(reader.status());
            const double value = roundHalfEven(leadingNumber(trimBlanks(*line)));
            // Far beyond any desktop: such a value would only overflow the
            // box arithmetic.
            if (value < -kMaxValue || value > kMaxValue)
                return ReadError{6, QStringLiteral("Overflow")};
            field(regions[i], block) = qint32(value);
        }
    }
    return regions;
}

void SaveCaps(AppState &state) {
    state.log.WriteLog(QStringLiteral(" .. and previous cap zones .. "));
    const QString path = state.DataFile(QString::fromLatin1(RecentRegionsFile::kFileName));
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        state.log.WriteLog(QStringLiteral("Error saving last caps"));
        return;
    }
    file.write(RecentRegionsFile::Serialize(state.recentRegions));
    if (!file.commit()) {
        state.log.WriteLog(QStringLiteral("Error saving last caps"));
        return;
    }
    state.log.WriteLog(QStringLiteral("      ... Done"));
}

void LoadLastCaps(AppState &state) {
    state.log.WriteLog(QStringLiteral("Looking for a lastcaps file ... "));
    const QString path = state.DataFile(QString::fromLatin1(RecentRegionsFile::kFileName));
    qsizetype lastCount = 0;
    if (!path.isEmpty() && QFileInfo::exists(path)) {
        state.log.WriteLog(QStringLiteral("Found a lastcaps file ... "));
        QFile file(path);
        RecentRegionsFile::ReadResult result =
            file.open(QIODevice::ReadOnly)
                ? RecentRegionsFile::Parse(file)
                : RecentRegionsFile::ReadResult(
                      RecentRegionsFile::ReadError{75, QStringLiteral("Path/File access error")});
        file.close();
        if (auto *error = std::get_if<RecentRegionsFile::ReadError>(&result)) {
            state.log.WriteLog(QStringLiteral("Error loading last captures - clearing all "));
            state.log.WriteLog(QStringLiteral("error # ") + QString::number(error->number) + u' ' +
                               error->description);
            state.recentRegions.clear();
            QFile::remove(path);
            return;
        }
        state.recentRegions = std::get<QList<CaptureRegion>>(result);
        lastCount = state.recentRegions.size();
    }
    state.log.WriteLog(QStringLiteral(" ... read in ") + QString::number(lastCount) +
                       QStringLiteral(" previous capture regions."));
}

void RemoveDuplicatesFromRecentSnaps(AppState &state) {
    state.log.WriteLog(QStringLiteral("Removing duplicates from recent snaps"));
    QList<CaptureRegion> &regions = state.recentRegions;
    if (regions.size() < 2)
        return;
    // Walking from the newest, a region already seen later in the list is an
    // older copy of a kept one.
    QList<CaptureRegion> kept;
    for (qsizetype i = regions.size() - 1; i >= 0; --i) {
        if (!kept.contains(regions[i]))
            kept.prepend(regions[i]);
    }
    regions = std::move(kept);
}

} // namespace quillcap
