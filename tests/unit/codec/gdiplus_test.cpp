#include "codec/gdiplus.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace quillcap {
namespace {

// Each pixel's colour encodes its position, so offsets and swapped channels
// show; smooth enough for lossy formats to stay recognisable.
QImage Pattern(int width = 200, int height = 150) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x, y, (x + 2 * y) / 3));
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

// Another program's verdict on the file: its exit code.
int Check(QStringList checker, const QString &file) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(checker.takeFirst(), checker << file);
    return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit
               ? tool.exitCode()
               : -1;
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

TEST(PictureBoxToFile, EveryExtensionWritesAFileOtherProgramsRead) {
    // 16x16 pixels of the pattern are 256 colours: a palette holds them all.
    const QImage pattern = Pattern(), palette = Pattern(16, 16), solid = Pattern(1, 1).scaled(7, 3);
    // Name, picture, format detected from the content, least PSNR (99: exact), checker.
    const std::tuple<const char *, QImage, const char *, double, QStringList> cases[] = {
        {"a.png", pattern, "png", 99, {"pngcheck"}},
        {"a.b.png", pattern, "png", 99, {}},
        {"a.bmp", pattern, "bmp", 99, {}},
        {"a.dib", pattern, "bmp", 99, {}},
        {"a.RLE", pattern, "bmp", 99, {}},
        {"a.tif", pattern, "tiff", 99, {"tiffinfo", "-D"}},
        {"a.TIFF", pattern, "tiff", 99, {}},
        {"a.jpg", pattern, "jpeg", 38, {"jpeginfo", "-c"}},
        {"a.jfif", pattern, "jpeg", 38, {}},
        {"a.Jpe", pattern, "jpeg", 38, {}},
        {"a.gif", pattern, "gif", 27, {"giftext"}},
        {"b.gif", palette, "gif", 99, {"giftext"}},
        {"c.gif", solid, "gif", 99, {}}, // one colour: giflib's smallest palette
    };
    QTemporaryDir dir;
    for (const auto &[name, image, format, minPsnr, checker] : cases) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QLatin1String(name));
        Recorder r;
        ASSERT_TRUE(r.gdi.PictureBoxToFile(image, path));
        EXPECT_TRUE(r.events.isEmpty());
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), QByteArray(format));
        const QImage back = r.gdi.FilenameToIPicture(path);
        ASSERT_EQ(back.size(), image.size());
        EXPECT_GE(Psnr(image, back), minPsnr);
        if (!checker.isEmpty()) {
            EXPECT_EQ(Check(checker, path), 0) << checker.join(' ').toStdString();
        }
    }
    EXPECT_EQ(Entries(dir.path()).size(), qsizetype(std::size(cases))) << "no temporary left";
}

TEST(PictureBoxToFile, AFailedSaveLeavesNothingAndReportsTheStatus) {
    // Status -1: no event (no encoder).
    const std::pair<QString, qint32> cases[] = {
        {"C:\\my.folder\\shot", -1},
        {"notes.txt", -1},
        {"shot.", -1},
        {"a.png ", -1},
        {"file/shot.png", 7},
        {QString(300, u'a') + ".png", 7},
        {"none/shot.png", 7},
    };
    for (const auto &[relative, status] : cases) {
        SCOPED_TRACE(relative.left(40).toStdString());
        QTemporaryDir dir;
        WriteText(dir.filePath("file"), "x");
        Recorder r;
        EXPECT_FALSE(r.gdi.PictureBoxToFile(Pattern(), dir.filePath(relative)));
        EXPECT_EQ(r.events, status < 0 ? QList<qint32>{} : QList<qint32>{status});
        EXPECT_EQ(Entries(dir.path()), QStringList{"file"});
    }
}

TEST(PictureBoxToFile, AnExistingFileSurvivesAFailedSaveAndKeepNeverReplaces) {
    const auto keep = ExistingFile::Keep, replace = ExistingFile::Replace;
    // Name, mode, an earlier file there, a file-size limit, saved.
    const std::tuple<const char *, ExistingFile, bool, bool, bool> cases[] = {
        {"a.bmp", replace, true, true, false},
        {"a.gif", replace, true, true, false},
        {"a.png", keep, true, false, false},
        {"a.png", replace, true, false, true},
        {"a.png", keep, false, false, true}};
    for (const auto &[name, existing, earlier, limited, saved] : cases) {
        SCOPED_TRACE(testing::Message() << name << " " << earlier << limited);
        QTemporaryDir dir;
        const QString path = dir.filePath(QLatin1String(name));
        if (earlier)
            WriteText(path, "earlier capture");
        Recorder r;
        // A file-size limit makes the write itself fail, even for root.
        rlimit before{}, limit{};
        getrlimit(RLIMIT_FSIZE, &before);
        limit = {limited ? 1024 : before.rlim_cur, before.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool written = r.gdi.PictureBoxToFile(Pattern(), path, 85, existing);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, handler);
        EXPECT_EQ(written, saved);
        EXPECT_EQ(Entries(dir.path()), QStringList{QLatin1String(name)});
        if (saved) {
            EXPECT_EQ(r.gdi.FilenameToIPicture(path), Pattern());
        } else {
            EXPECT_EQ(ReadAll(path), "earlier capture");
            EXPECT_EQ(r.events, QList<qint32>{7});
        }
    }
}

TEST(FilenameToIPicture, TransparencyComesOutBlackAndBadFilesGiveNoPicture) {
    QTemporaryDir dir;
    QImage clear(4, 2, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    clear.setPixel(1, 1, qRgba(10, 200, 30, 255));
    ASSERT_TRUE(clear.save(dir.filePath("clear.png")));
    Recorder r;
    const QImage loaded = r.gdi.FilenameToIPicture(dir.filePath("clear.png"));
    EXPECT_EQ(loaded.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(loaded.pixel(1, 1), qRgb(10, 200, 30));
    EXPECT_TRUE(r.events.isEmpty());

    // A bitmap header claiming 30000 x 30000 pixels: refused before decoding.
    const QString huge = dir.filePath("huge.bmp");
    ASSERT_TRUE(Pattern(2, 2).save(huge));
    QByteArray bytes = ReadAll(huge);
    const qint32 side = 30000;
    bytes.replace(18, 4, reinterpret_cast<const char *>(&side), 4);
    bytes.replace(22, 4, reinterpret_cast<const char *>(&side), 4);
    WriteText(huge, bytes);
    WriteText(dir.filePath("text.png"), "not an image");
    const std::pair<const char *, qint32> bad[] = {
        {"missing.png", 10}, {"text.png", 13}, {"huge.bmp", -1}};
    for (const auto &[name, status] : bad) {
        Recorder b;
        EXPECT_TRUE(b.gdi.FilenameToIPicture(dir.filePath(QLatin1String(name))).isNull()) << name;
        ASSERT_EQ(b.events.size(), 1) << name;
        if (status >= 0) {
            EXPECT_EQ(b.events.front(), status) << name;
        }
    }
}

} // namespace
} // namespace quillcap
