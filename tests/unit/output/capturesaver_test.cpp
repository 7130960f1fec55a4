#include "files.h"
#include "output/capturesaver.h"
#include "output/qtsoundplayer.h"
#include "output/soundplayer.h"

#include <QBuffer>
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

// A saver over a folder of its own; whatever it tells the user is recorded.
// The main window showed "cap_001.png"; a fresh look at the folder gives
// "cap_002.png".
struct Saver {
    QTemporaryDir dir;
    AppState state;
    QStringList sounds, messages, log;
    int clipboardPuts = 0;
    std::unique_ptr<CaptureSaver> saver;

    Saver() {
        state.settings.saveFolder = dir.path();
        state.SoundFilePath = QStringLiteral("capture.wav");
        state.ErrorSoundPath = QStringLiteral("error.wav");
        state.log.HardLogging = true;
        state.log.SetViewer([this](const QString &line) { log << line; });
        saver = std::make_unique<CaptureSaver>(
            state,
            CaptureSaver::Services{
                [this](const QString &path) { sounds << path; },
                [this](const QString &text, bool error) {
                    messages << (error ? QStringLiteral("error: ") : QString()) + text;
                },
                [this](const QImage &) { ++clipboardPuts; },
                [](bool rescan) { return QString(rescan ? "cap_002.png" : "cap_001.png"); }});
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    void touch(const QString &name) { ASSERT_TRUE(writeFile(path(name), "earlier")); }
};

TEST(CaptureSaver, ANameTakenMeanwhileGivesWayAndOnlyAMarkedNameIsReplaced) {
    const struct {
        const char *oneOff; // empty: the numbered name
        bool mayReplace;
        QStringList existing;
        const char *written;
    } cases[] = {
        {"", false, {}, "cap_001.png"},
        {"", false, {"cap_001.png"}, "cap_002.png"},
        {"shot.png", false, {"shot.png", "shot (2).png"}, "shot (3).png"},
        {"shot.png", true, {"shot.png"}, "shot.png"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.written);
        Saver s;
        for (const QString &name : c.existing)
            s.touch(name);
        const CaptureRequest request{{10, 5, 20, 16}, false, QLatin1String(c.oneOff), c.mayReplace};
        EXPECT_EQ(s.saver->CaptureAndSave(Desktop(), request), QLatin1String(c.written));
        EXPECT_EQ(QImage(s.path(QLatin1String(c.written))), Desktop().copy(10, 5, 20, 16));
        for (const QString &name : c.existing)
            EXPECT_TRUE(name == QLatin1String(c.written) || readFile(s.path(name)) == "earlier");
        EXPECT_EQ(s.messages, QStringList{"Saved file : \r" + s.path(QLatin1String(c.written))});
        EXPECT_EQ(s.sounds, QStringList{"capture.wav"});
        EXPECT_EQ(s.state.recentRegions, (QList<CaptureRegion>{{10, 5, 20, 16}}));
    }
}

TEST(CaptureSaver, AFailedSaveSaysWhyStillCopiesAndRemembersTheRegion) {
    Saver s;
    s.touch(QStringLiteral("file"));
    s.state.settings.saveFolder = s.path(QStringLiteral("file"));
    EXPECT_EQ(s.saver->CaptureAndSave(Desktop(), CaptureRequest{{0, 0, 8, 8}, true, {}, false}),
              QStringLiteral("cap_001.png"));
    const QString full = s.path(QStringLiteral("file/cap_001.png"));
    EXPECT_EQ(s.messages, QStringList{"error: Could not save file !\r" + full +
                                      "\rNot a directory\r\r--- IMAGE SENT TO CLIPBOARD ---"});
    EXPECT_TRUE(s.log.contains("## Could not save file" + full + ": Not a directory"));
    EXPECT_EQ(s.sounds, (QStringList{"capture.wav", "error.wav"}));
    EXPECT_EQ(s.clipboardPuts, 1);
    EXPECT_EQ(s.state.recentRegions.size(), 1);
}

// Records the largest read, so a header claiming gigabytes shows.
struct CountingBuffer : QBuffer {
    qint64 largestRead = 0;
    qint64 readData(char *data, qint64 maxSize) override {
        largestRead = qMax(largestRead, maxSize);
        return QBuffer::readData(data, maxSize);
    }
};

QByteArray Chunk(const char *id, quint32 claimedSize, const QByteArray &body = {}) {
    QByteArray chunk(id, 4);
    chunk.resize(8);
    qToLittleEndian<quint32>(claimedSize, chunk.data() + 4);
    return chunk + body;
}

TEST(WavDurationMs, ReadsABoundedHeaderWhateverTheFileClaims) {
    QByteArray fmt(16, '\0');
    qToLittleEndian<quint32>(8000, fmt.data() + 8); // bytes a second
    const QByteArray riff("RIFF\0\0\0\0WAVE", 12);
    const struct {
        QByteArray file;
        std::optional<qint64> ms;
    } cases[] = {
        {riff + Chunk("fmt ", 16, fmt) + Chunk("data", 4000), 500},
        {riff + Chunk("fmt ", 0xfffffff0u, fmt), std::nullopt},
        {riff + Chunk("LIST", 3, QByteArray("abc", 4)) + Chunk("fmt ", 16, fmt) +
             Chunk("data", 8000),
         1000},
    };
    for (const auto &c : cases) {
        CountingBuffer buffer;
        buffer.setData(c.file);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_EQ(WavDurationMs(buffer), c.ms);
        EXPECT_LE(buffer.largestRead, 64 * 1024);
    }
}

// A player that never returns ends at the test's time limit.
TEST(QtSoundPlayer, ReturnsForAMissingFileAndWhenTheOutputNeverAnswers) {
    const QString sounds = QStringLiteral(QUILLCAP_SOUNDS);
    DebugLog log;
    QtSoundPlayer player(log);
    EXPECT_FALSE(player.PlaySoundFile(sounds + "/nothing-here.wav"));
    // Qt then tries to play; with no device it never reports the end.
    player.hasAudioOutput = [] { return true; };
    player.PlaySoundFile(sounds + "/capture.wav");
}

} // namespace
} // namespace quillcap
