#include "codec/gdiplus.h"
#include "files.h"

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
        for (int x = 0; x < a.width(); ++x)
            for (int shift : {0, 8, 16})
                sum += std::pow(
                    int(a.pixel(x, y) >> shift & 255) - int(b.pixel(x, y) >> shift & 255), 2);
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

struct Recorder : GdiPlus {
    QList<qint32> events;
    Recorder() {
        Error = [this](qint32 status, const QString &) { events << status; };
    }
};

TEST(PictureBoxToFile, EveryExtensionWritesAFileOtherProgramsRead) {
    // 16x16 pixels of the pattern are 256 colours: a palette holds them all.
    const QImage pattern = Pattern(), palette = Pattern(16, 16), solid = Pattern(1, 1).scaled(7, 3);
    // Name, picture, format detected from the content, least PSNR (99: exact),
    // and a program that must accept the file.
    const std::tuple<const char *, QImage, const char *, double, QStringList> cases[] = {
        {"a.png", pattern, "png", 99, {"pngcheck"}},
        {"a.b.png", pattern, "png", 99, {}},
        {"a.bmp", pattern, "bmp", 99, {}},
        {"a.RLE", pattern, "bmp", 99, {}},
        {"a.tif", pattern, "tiff", 99, {"tiffinfo", "-D"}},
        {"a.jpg", pattern, "jpeg", 38, {"jpeginfo", "-c"}},
        {"a.Jpe", pattern, "jpeg", 38, {}},
        {"a.gif", pattern, "gif", 27, {"giftext"}},
        {"b.gif", palette, "gif", 99, {"giftext"}},
        {"c.gif", solid, "gif", 99, {}}, // one colour: giflib's smallest palette
    };
    QTemporaryDir dir;
    for (auto [name, image, format, minPsnr, checker] : cases) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QLatin1String(name));
        Recorder r;
        ASSERT_TRUE(r.PictureBoxToFile(image, path));
        EXPECT_TRUE(r.events.isEmpty());
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), QByteArray(format));
        const QImage back = r.FilenameToIPicture(path);
        ASSERT_EQ(back.size(), image.size());
        EXPECT_GE(Psnr(image, back), minPsnr);
        EXPECT_TRUE(checker.isEmpty() || !QProcess::execute(checker[0], checker.mid(1) << path));
    }
    EXPECT_EQ(entries(dir.path()).size(), qsizetype(std::size(cases))) << "no temporary left";
}

TEST(PictureBoxToFile, AFailedSaveLeavesNothingNewKeepsAnEarlierFileAndReportsTheStatus) {
    const auto keep = ExistingFile::Keep, replace = ExistingFile::Replace;
    // Name, mode, an earlier file there, a file-size limit, and the status
    // raised: 0 saved, -1 none (no encoder), else the failure.
    const std::tuple<QString, ExistingFile, bool, bool, qint32> cases[] = {
        {"C:\\my.folder\\shot", replace, false, false, -1},
        {"notes.txt", replace, false, false, -1},
        {"shot.", replace, false, false, -1},
        {"a.png ", replace, false, false, -1},
        {"file/shot.png", replace, false, false, 7},
        {QString(300, u'a') + ".png", replace, false, false, 7},
        {"none/shot.png", replace, false, false, 7},
        {"a.bmp", replace, true, true, 7},
        {"a.gif", replace, true, true, 7},
        {"a.png", keep, true, false, 7},
        {"a.png", replace, true, false, 0},
        {"a.png", keep, false, false, 0},
    };
    for (const auto &[name, existing, earlier, limited, status] : cases) {
        SCOPED_TRACE(testing::Message()
                     << name.left(40).toStdString() << " " << earlier << limited);
        QTemporaryDir dir;
        ASSERT_TRUE(writeFile(dir.filePath("file"), "x"));
        const QString path = dir.filePath(name);
        ASSERT_TRUE(!earlier || writeFile(path, "earlier capture"));
        Recorder r;
        // A file-size limit makes the write itself fail, even for root.
        rlimit before{}, limit{};
        getrlimit(RLIMIT_FSIZE, &before);
        limit = {limited ? 1024 : before.rlim_cur, before.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool written = r.PictureBoxToFile(Pattern(), path, 85, existing);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, handler);
        EXPECT_EQ(written, status == 0);
        EXPECT_EQ(r.events, status > 0 ? QList<qint32>{status} : QList<qint32>{});
        const QStringList left =
            earlier || !status ? QStringList{name, "file"} : QStringList{"file"};
        EXPECT_EQ(entries(dir.path()), left);
        if (status == 0) {
            EXPECT_EQ(r.FilenameToIPicture(path), Pattern());
        } else if (earlier) {
            EXPECT_EQ(readFile(path), "earlier capture");
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
    const QImage loaded = r.FilenameToIPicture(dir.filePath("clear.png"));
    EXPECT_TRUE(loaded.pixel(0, 0) == qRgb(0, 0, 0) && loaded.pixel(1, 1) == qRgb(10, 200, 30));
    EXPECT_TRUE(r.events.isEmpty());
    // A bitmap header claiming 30000 x 30000 pixels: refused before decoding.
    ASSERT_TRUE(Pattern(2, 2).save(dir.filePath("huge.bmp")));
    QByteArray bytes = readFile(dir.filePath("huge.bmp"));
    const qint32 side = 30000;
    for (int at : {18, 22})
        bytes.replace(at, 4, reinterpret_cast<const char *>(&side), 4);
    ASSERT_TRUE(writeFile(dir.filePath("huge.bmp"), bytes));
    ASSERT_TRUE(writeFile(dir.filePath("text.png"), "not an image"));
    for (const char *name : {"missing.png", "text.png", "huge.bmp"}) {
        Recorder b;
        EXPECT_TRUE(b.FilenameToIPicture(dir.filePath(QLatin1String(name))).isNull()) << name;
        EXPECT_EQ(b.events.size(), 1) << name;
    }
}

} // namespace
} // namespace quillcap
