#include "output/capturesaver.h"
#include "output/soundplayer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace quillcap {
namespace {

QImage Desktop() {
    QImage image(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 5, 90));
    return image;
}

void Touch(const QString &path, const QByteArray &data = "earlier") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray Read(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything the saver tells the user, recorded.
struct Told {
    QStringList sounds, messages, log;
    int clipboardPuts = 0;
    int rescans = 0;
};

struct Saver {
    QTemporaryDir dir;
    AppState state;
    Told told;
    std::unique_ptr<CaptureSaver> saver;

    // `stale` is the name the main window showed; a rescan finds `fresh`.
    Saver(const QString &stale, const QString &fresh) {
        state.settings.saveFolder = dir.path();
        state.SoundFilePath = QStringLiteral("capture.wav");
        state.ErrorSoundPath = QStringLiteral("error.wav");
        state.log.HardLogging = true;
        state.log.SetViewer([this](const QString &line) { told.log << line; });
        CaptureSaver::Services services;
        services.PlaySoundFile = [this](const QString &path) { told.sounds << path; };
        services.ShowMessage = [this](const QString &text, bool error) {
            told.messages << (error ? QStringLiteral("error: ") : QString()) + text;
        };
        services.PutOnClipboard = [this](const QImage &) { ++told.clipboardPuts; };
        services.NextImageName = [this, stale, fresh](bool rescan) {
            told.rescans += rescan;
            return rescan ? fresh : stale;
        };
        saver = std::make_unique<CaptureSaver>(state, std::move(services));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
};

TEST(CaptureSaver, ANameTakenMeanwhileGivesWayAndOnlyAMarkedNameIsReplaced) {
    const struct Case {
        const char *what;
        const char *oneOff; // empty: the numbered name
        bool mayReplace;
        QStringList existing;
        const char *written;
    } cases[] = {
        {"numbered, free", "", false, {}, "cap_001.png"},
        {"numbered, taken meanwhile", "", false, {"cap_001.png"}, "cap_002.png"},
        {"one-off, free", "shot.png", false, {}, "shot.png"},
        {"one-off, taken meanwhile", "shot.png", false, {"shot.png", "shot (2).png"},
         "shot (3).png"},
        {"one-off the user saw marked taken", "shot.png", true, {"shot.png"}, "shot.png"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Saver s(QStringLiteral("cap_001.png"), QStringLiteral("cap_002.png"));
        for (const QString &name : c.existing)
            Touch(s.path(name));
        CaptureRequest request;
        request.box = {10, 5, 20, 16};
        request.oneOffName = QLatin1String(c.oneOff);
        request.oneOffMayReplace = c.mayReplace;

        EXPECT_EQ(s.saver->CaptureAndSave(Desktop(), request), QLatin1String(c.written));
        EXPECT_EQ(QImage(s.path(QLatin1String(c.written))), Desktop().copy(10, 5, 20, 16));
        for (const QString &name : c.existing) {
            if (name != QLatin1String(c.written)) {
                EXPECT_EQ(Read(s.path(name)), "earlier") << name.toStdString();
            }
        }
        EXPECT_EQ(s.told.messages,
                  QStringList{QStringLiteral("Saved file : \r") + s.path(QLatin1String(c.written))});
        EXPECT_EQ(s.told.sounds, QStringList{"capture.wav"});
        EXPECT_EQ(s.state.recentRegions, (QList<CaptureRegion>{{10, 5, 20, 16}}));
    }
}

TEST(CaptureSaver, AFailedSaveSaysWhyStillCopiesAndRemembersTheRegion) {
    Saver s(QStringLiteral("cap_001.png"), QStringLiteral("cap_001.png"));
    Touch(s.path(QStringLiteral("file")));
    s.state.settings.saveFolder = s.path(QStringLiteral("file"));
    CaptureRequest request;
    request.box = {0, 0, 8, 8};
    request.toClipboard = true;

    EXPECT_EQ(s.saver->CaptureAndSave(Desktop(), request), QStringLiteral("cap_001.png"));
    const QString full = s.path(QStringLiteral("file/cap_001.png"));
    EXPECT_EQ(s.told.messages, QStringList{QStringLiteral("error: Could not save file !\r") + full +
                                           QStringLiteral("\rNot a directory\r\r--- IMAGE SENT "
                                                          "TO CLIPBOARD ---")});
    EXPECT_TRUE(s.told.log.contains(QStringLiteral("## Could not save file") + full +
                                    QStringLiteral(": Not a directory")));
    EXPECT_EQ(s.told.sounds, (QStringList{"capture.wav", "error.wav"}));
    EXPECT_EQ(s.told.clipboardPuts, 1);
    EXPECT_EQ(s.told.rescans, 0) << "only a taken name is worth another look";
    EXPECT_EQ(s.state.recentRegions.size(), 1);
}

// Counts what a reader asks for, so a header claiming gigabytes shows.
class CountingBuffer : public QBuffer {
public:
    qint64 largestRead = 0;

protected:
    qint64 readData(char *data, qint64 maxSize) override {
        largestRead = qMax(largestRead, maxSize);
        return QBuffer::readData(data, maxSize);
    }
};

QByteArray Chunk(const char *id, quint32 claimedSize, const QByteArray &body) {
    QByteArray chunk(id, 4);
    chunk.resize(8);
    qToLittleEndian<quint32>(claimedSize, chunk.data() + 4);
    return chunk + body;
}

TEST(WavDurationMs, ReadsABoundedHeaderWhateverTheFileClaims) {
    QByteArray fmt(16, '\0');
    qToLittleEndian<quint32>(8000, fmt.data() + 8); // byte rate
    const QByteArray riff = QByteArray("RIFF\0\0\0\0WAVE", 12);
    const struct {
        const char *what;
        QByteArray file;
        std::optional<qint64> ms;
    } cases[] = {
        {"plain", riff + Chunk("fmt ", 16, fmt) + Chunk("data", 4000, {}), 500},
        {"fmt claims 4 GiB", riff + Chunk("fmt ", 0xfffffff0u, fmt), std::nullopt},
        {"an odd chunk first", riff + Chunk("LIST", 3, QByteArray("abc", 4)) + Chunk("fmt ", 16, fmt) +
                                   Chunk("data", 8000, {}),
         1000},
    };
    for (const auto &c : cases) {
        CountingBuffer buffer;
        buffer.setData(c.file);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_EQ(WavDurationMs(buffer), c.ms) << c.what;
        EXPECT_LE(buffer.largestRead, 64 * 1024) << c.what;
    }
}

} // namespace
} // namespace quillcap
