#include "codec/gdiplus.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>

namespace quillcap {
namespace {

// Every pixel's colour encodes its position, so offsets and swapped
// channels show; smooth enough for lossy formats to keep it recognisable.
QImage PositionPattern(int width = 200, int height = 150) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x, y, (x + 2 * y) / 3));
    return image;
}

// 256 colours exactly, low bits set, in blocks.
QImage Palette256() {
    QImage image(256, 64, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x, 255 - x, (x * 37 + 7) & 0xff));
    return image;
}

// One colour: the smallest palette giflib accepts.
QImage Solid(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(1, 2, 3));
    return image;
}

double Psnr(const QImage &a, const QImage &b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                sum += d * d;
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

QByteArray Detect(const QString &path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.format();
}

struct Recorder {
    GdiPlus gdi;
    QList<qint32> events;
    Recorder() {
        gdi.Error = [this](qint32 status, const QString &) { events.append(status); };
    }
};

QStringList Entries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

void WriteText(const QString &path, const QByteArray &text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(PictureBoxToFile, RoundTripsEveryFormat) {
    const struct {
        const char *name;
        QImage image;
        const char *format;
        double minPsnr; // 99: pixel-exact
    } cases[] = {
        {"a.png", PositionPattern(), "png", 99},  {"a.bmp", PositionPattern(), "bmp", 99},
        {"a.dib", PositionPattern(), "bmp", 99},  {"a.RLE", PositionPattern(), "bmp", 99},
        {"a.tif", PositionPattern(), "tiff", 99}, {"a.tiff", PositionPattern(), "tiff", 99},
        {"a.jpg", PositionPattern(), "jpeg", 38}, {"a.jfif", PositionPattern(), "jpeg", 38},
        {"a.gif", PositionPattern(), "gif", 27},  {"b.gif", Palette256(), "gif", 99},
        {"c.gif", Solid(7, 3), "gif", 99},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name));
        Recorder r;
        ASSERT_TRUE(r.gdi.PictureBoxToFile(c.image, path)) << c.name;
        EXPECT_TRUE(r.events.isEmpty()) << c.name;
        EXPECT_EQ(Detect(path), QByteArray(c.format)) << c.name;
        const QImage back = r.gdi.FilenameToIPicture(path);
        ASSERT_EQ(back.size(), c.image.size()) << c.name;
        const double psnr = Psnr(c.image, back);
        EXPECT_GE(psnr, c.minPsnr) << c.name << " " << psnr;
    }
    // Only the finished files: no temporary left behind.
    EXPECT_EQ(Entries(dir.path()).size(), qsizetype(std::size(cases)));
}

TEST(PictureBoxToFile, AFailedSaveLeavesNothingAndReportsTheStatus) {
    const struct {
        const char *label;
        QString relative;
        qint32 status; // -1: no event
    } cases[] = {
        {"no extension", QStringLiteral("C:\\my.folder\\shot"), -1},
        {"text", QStringLiteral("notes.txt"), -1},
        {"folder is a file", QStringLiteral("file/shot.png"), 7},
        {"name over 255 bytes", QString(300, u'a') + QStringLiteral(".png"), 7},
        {"missing folder", QStringLiteral("none/shot.png"), 7},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        WriteText(dir.filePath(QStringLiteral("file")), "x");
        Recorder r;
        EXPECT_FALSE(r.gdi.PictureBoxToFile(PositionPattern(), dir.filePath(c.relative)))
            << c.label;
        EXPECT_EQ(r.events, c.status < 0 ? QList<qint32>{} : QList<qint32>{c.status}) << c.label;
        EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("file")}) << c.label;
    }
}

// A file-size limit makes the write itself fail, even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

TEST(PictureBoxToFile, AnExistingFileSurvivesAFailedSave) {
    const struct {
        const char *name;
        ExistingFile existing;
        bool limited;
        bool saved;
    } cases[] = {
        {"a.bmp", ExistingFile::Replace, true, false},
        {"a.gif", ExistingFile::Replace, true, false},
        {"a.png", ExistingFile::Keep, false, false},
        {"a.png", ExistingFile::Replace, false, true},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QLatin1String(c.name));
        WriteText(path, "earlier capture");
        Recorder r;
        bool saved;
        {
            std::optional<FileSizeLimit> limit;
            if (c.limited)
                limit.emplace(1024);
            saved = r.gdi.PictureBoxToFile(PositionPattern(), path, 85, c.existing);
        }
        EXPECT_EQ(saved, c.saved) << c.name;
        EXPECT_EQ(Entries(dir.path()), QStringList{QLatin1String(c.name)}) << c.name;
        if (c.saved) {
            EXPECT_EQ(r.gdi.FilenameToIPicture(path), PositionPattern()) << c.name;
        } else {
            EXPECT_EQ(ReadAll(path), "earlier capture") << c.name;
            EXPECT_EQ(r.events, QList<qint32>{7}) << c.name;
        }
    }
}

TEST(PictureBoxToFile, MustNotExistModeWritesAFreeName) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.png"));
    GdiPlus gdi;
    EXPECT_TRUE(gdi.PictureBoxToFile(PositionPattern(), path, 85, ExistingFile::Keep));
    EXPECT_EQ(gdi.FilenameToIPicture(path), PositionPattern());
}

TEST(FilenameToIPicture, TransparencyComesOutBlackAndBadFilesGiveNoPicture) {
    QTemporaryDir dir;
    QImage clear(4, 2, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    clear.setPixel(1, 1, qRgba(10, 200, 30, 255));
    const QString png = dir.filePath(QStringLiteral("clear.png"));
    ASSERT_TRUE(clear.save(png));
    Recorder r;
    const QImage loaded = r.gdi.FilenameToIPicture(png);
    EXPECT_EQ(loaded.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(loaded.pixel(1, 1), qRgb(10, 200, 30));
    EXPECT_TRUE(r.events.isEmpty());

    // A bitmap header claiming 30000 x 30000 pixels: refused before decoding.
    const QString huge = dir.filePath(QStringLiteral("huge.bmp"));
    ASSERT_TRUE(PositionPattern(2, 2).save(huge));
    QByteArray bytes = ReadAll(huge);
    const qint32 side = 30000;
    bytes.replace(18, 4, reinterpret_cast<const char *>(&side), 4);
    bytes.replace(22, 4, reinterpret_cast<const char *>(&side), 4);
    WriteText(huge, bytes);
    WriteText(dir.filePath(QStringLiteral("text.png")), "not an image");

    const struct {
        const char *name;
        qint32 status;
    } bad[] = {{"missing.png", 10}, {"text.png", 13}, {"huge.bmp", -1}};
    for (const auto &c : bad) {
        Recorder b;
        EXPECT_TRUE(b.gdi.FilenameToIPicture(dir.filePath(QLatin1String(c.name))).isNull())
            << c.name;
        ASSERT_EQ(b.events.size(), 1) << c.name;
        if (c.status >= 0) {
            EXPECT_EQ(b.events.front(), c.status) << c.name;
        }
    }
}

} // namespace
} // namespace quillcap
