// Captures of the position-coded pattern saved in every file type, checked
// with decoders that are not the program's own; a save that cannot happen;
// the pointer in the picture; remembered regions across a restart; names
// past 999.
#include "e2e_support.h"
#include "screenpattern.h"
#include "xprobe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <cmath>
#include <limits>

namespace e2e {
namespace {

const QString kIdentify = QStringLiteral("/usr/bin/identify");
const QString kConvert = QStringLiteral("/usr/bin/convert");
const QString kCompare = QStringLiteral("/usr/bin/compare");

// The small centred box (R) on the 1920x1080 screen, and Shift+E from there.
const QString kSmallBox = QStringLiteral("768,432,384,216");
const QString kPresetBox = QStringLiteral("768,432,640,480");

QString caption(int snaps) {
    return QStringLiteral("QuillCap  \\(%1 snaps\\)").arg(snaps);
}

// The settings every case starts from: no sounds, a debug log.
QStringList baseSettings() {
    return {"DEBUGLOG", "True", "PLAYSOUND", " 0 "};
}

class CaptureFormats : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        ASSERT_TRUE(makeFolder(pictures()));
        qputenv("DISPLAY", x.display().toLatin1());
        m_probe = std::make_unique<XProbe>();
        ShowPatternOnRoot(*m_probe);
    }
    QString pictures() const { return home.home() + "/Pictures"; }
    testing::AssertionResult start(const QStringList &settings) {
        if (!writeFile(home.settingsFile(), crlf(baseSettings() + settings)))
            return testing::AssertionFailure() << "cannot write the settings";
        m_app = std::make_unique<QuillCapRun>(home.environment(x));
        if (auto shown = waitForWindow(x, kMainCaption); !shown)
            return shown << "; stderr: " << m_app->stderrText().toStdString();
        return testing::AssertionSuccess();
    }
    testing::AssertionResult stop() {
        m_app->terminate(SIGTERM);
        return m_app->waitForExit();
    }
    testing::AssertionResult openOverlay() {
        QString id;
        if (auto shown = pressUntilWindow(x, "Print", kOverlayTitle, &id); !shown)
            return shown;
        return focusWindow(x, id);
    }
    // Draws `box` with the mouse (after R, so the drag starts outside the
    // box the overlay opened on) and captures it with Space.
    void dragAndCapture(const QRect &box) {
        const QPoint from = box.topLeft(), to = box.topLeft() + QPoint(box.width(), box.height());
        const QPoint via = (from + to) / 2;
        xdotool(x, {"key", "r"});
        xdotool(x,
                {"mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown",
                 "1", "mousemove", QString::number(via.x()), QString::number(via.y()), "mousemove",
                 QString::number(to.x()), QString::number(to.y()), "mouseup", "1", "key", "space"});
    }
    testing::AssertionResult saved(const QString &name, QImage *image) {
        const QString path = pictures() + "/" + name;
        return waitFor(
            [&] {
                *image = QImage(path);
                return !image->isNull();
            },
            path);
    }
    // Every "Resetting Capturebox to x,y,w,h" of the log, oldest first.
    QStringList boxLines() const {
        static const QRegularExpression line(
            QStringLiteral("Resetting Capturebox to (-?\\d+,-?\\d+,\\d+,\\d+)\r\n"));
        QStringList boxes;
        auto it = line.globalMatch(QString::fromLatin1(readFile(home.logFile())));
        while (it.hasNext())
            boxes << it.next().captured(1);
        return boxes;
    }
    // Presses `key` on the overlay; the box it selected, as the log shows it.
    testing::AssertionResult keyShows(const QString &key, const QString &box) {
        const qsizetype before = boxLines().size();
        xdotool(x, {"key", key});
        testing::AssertionResult shown = waitFor(
            [&] {
                const QStringList boxes = boxLines();
                return boxes.size() > before && boxes.last() == box;
            },
            key + " shows " + box);
        if (!shown)
            shown << " (log: " << boxLines().join(" | ").toStdString() << ")";
        return shown;
    }

    // Every path below HOME but the program's data folder (its bookkeeping).
    QStringList userFiles() const {
        QStringList paths = snapshot(home.home()).keys();
        paths.removeIf([](const QString &p) { return p.startsWith(".config/quillcap"); });
        return paths;
    }

    std::unique_ptr<XProbe> m_probe;
    std::unique_ptr<QuillCapRun> m_app;
};

// --- every file type, read back by other decoders --------------------------

struct FormatRow {
    const char *name;
    const char *typeIndex; // FILETYPEINDEX as the settings file holds it
    const char *extension;
    const char *magick;  // ImageMagick's name for the detected format (a regex)
    QStringList checker; // an independent validator; the file goes last
    QRect box;           // in root coordinates
    double minPsnr;      // 0: pixel-exact
};
E2E_PRINTS_NAME(FormatRow)

// Away from the origin, crossing the pattern's x = 256 seam.
const QRect kBox(37, 53, 300, 200);
const FormatRow kFormats[] = {
    {"Bmp", " 0 ", "bmp", "BMP3?", {}, kBox, 0},
    {"Jpg", " 1 ", "jpg", "JPEG", {"jpeginfo", "-c"}, kBox, 30},
    {"Png", " 2 ", "png", "PNG", {"pngcheck"}, kBox, 0},
    {"GifOfManyColours", " 3 ", "gif", "GIF", {"giftext"}, kBox, 27},
    // 16x16 pixels of the pattern are 256 colours: a palette holds them all.
    {"GifOf256Colours", " 3 ", "gif", "GIF", {"giftext"}, QRect(37, 53, 16, 16), 0},
    {"Tif", " 4 ", "tif", "TIFF", {"tiffinfo", "-D"}, kBox, 0},
};

// The file's pixels as ImageMagick decodes them, opaque RGB32.
QImage decodeElsewhere(const QString &file, QSize size, const QProcessEnvironment &env,
                       std::string *error) {
    const ToolResult raw = runTool(kConvert, {file, "-depth", "8", "rgb:-"}, env);
    if (raw.exitCode != 0 || raw.out.size() != qsizetype(size.width()) * size.height() * 3) {
        *error = "convert: exit " + std::to_string(raw.exitCode) + ", " +
                 std::to_string(raw.out.size()) + " bytes; " + raw.err.toStdString();
        return {};
    }
    return QImage(reinterpret_cast<const uchar *>(raw.out.constData()), size.width(), size.height(),
                  size.width() * 3, QImage::Format_RGB888)
        .convertToFormat(QImage::Format_RGB32);
}

// ImageMagick's PSNR in dB between two files of one size ("inf" when equal).
double psnr(const QString &a, const QString &b, const QProcessEnvironment &env,
            std::string *error) {
    const ToolResult r = runTool(kCompare, {"-metric", "PSNR", a, b, "null:"}, env);
    const QString text = QString::fromLatin1(r.err).trimmed().section(u' ', 0, 0);
    if (r.exitCode > 1 || text.isEmpty()) {
        *error = "compare: exit " + std::to_string(r.exitCode) + "; " + r.err.toStdString();
        return 0;
    }
    if (text == "inf")
        return std::numeric_limits<double>::infinity();
    bool ok = false;
    const double db = text.toDouble(&ok);
    if (!ok)
        *error = "compare said " + text.toStdString();
    return db;
}

class Formats : public CaptureFormats, public testing::WithParamInterface<FormatRow> {};

TEST_P(Formats, TheBoxIsSavedInTheChosenTypeAndReadsBackElsewhere) {
    const FormatRow &row = GetParam();
    ASSERT_TRUE(start({"FILETYPEINDEX", row.typeIndex}));
    ASSERT_TRUE(openOverlay());
    dragAndCapture(row.box);

    const QString file = pictures() + "/Quillcap_001." + row.extension;
    ASSERT_TRUE(waitForWindow(x, caption(1)));
    ASSERT_TRUE(waitFor([&] { return QFileInfo(file).size() > 0; }, file));
    const QProcessEnvironment env = x.environment();

    // What the file is, judged by its content.
    const ToolResult id = runTool(kIdentify, {"-format", "%m %w %h %Q", file}, env);
    ASSERT_EQ(id.exitCode, 0) << id.err.toStdString();
    const QStringList facts = QString::fromLatin1(id.out).split(u' ');
    ASSERT_EQ(facts.size(), 4) << id.out.toStdString();
    EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(row.magick))
                    .match(facts[0])
                    .hasMatch())
        << "detected " << facts[0].toStdString() << ", wanted " << row.magick;
    ASSERT_EQ(QSize(facts[1].toInt(), facts[2].toInt()), row.box.size());
    if (QString(row.magick) == "JPEG") {
        EXPECT_EQ(facts[3], "85") << "JPEG quality";
    }

    if (!row.checker.isEmpty()) {
        const ToolResult check =
            runTool(row.checker.first(), row.checker.mid(1) + QStringList{file}, env);
        EXPECT_EQ(check.exitCode, 0) << row.checker.first().toStdString() << ": "
                                     << check.out.toStdString() << check.err.toStdString();
    }

    const auto expected = [&](QPoint p) { return PatternPixel(p + row.box.topLeft()); };
    if (row.minPsnr == 0) {
        std::string error;
        const QImage pixels = decodeElsewhere(file, row.box.size(), env, &error);
        ASSERT_FALSE(pixels.isNull()) << error;
        EXPECT_EQ(FirstDifference(pixels, expected), "");
    } else {
        QImage reference(row.box.size(), QImage::Format_RGB32);
        for (int y = 0; y < reference.height(); ++y)
            for (int x = 0; x < reference.width(); ++x)
                reference.setPixel(x, y, expected({x, y}));
        const QString referenceFile = home.root() + "/reference.png";
        ASSERT_TRUE(reference.save(referenceFile));
        std::string error;
        const double db = psnr(referenceFile, file, env, &error);
        ASSERT_EQ(error, "");
        EXPECT_GE(db, row.minPsnr) << "dB";
        RecordProperty("psnr", std::to_string(db));
    }
    ASSERT_TRUE(stop());
}

INSTANTIATE_TEST_SUITE_P(EveryType, Formats, testing::ValuesIn(kFormats),
                         [](const auto &info) { return std::string(info.param.name); });

// --- a folder that cannot take the file -------------------------------------

TEST_F(CaptureFormats, AFolderThatIsAFileFailsTheSaveYetCountsTheCapture) {
    // A regular file where the folder should be stops root too (ENOTDIR).
    const QString notAFolder = home.home() + "/not-a-folder";
    ASSERT_TRUE(writeFile(notAFolder, "a plain file\n"));
    ASSERT_TRUE(start({"SAVEFOLDER", notAFolder}));
    const QStringList before = userFiles();

    ASSERT_TRUE(openOverlay());
    xdotool(x, {"key", "Return"});
    const QByteArray line =
        ("## Could not save file" + notAFolder + "/Quillcap_001.png").toLatin1();
    ASSERT_TRUE(waitFor([&] { return readFile(home.logFile()).contains(line); },
                        QString::fromLatin1(line)));
    ASSERT_TRUE(waitForWindow(x, caption(1)));
    EXPECT_EQ(readFile(notAFolder), "a plain file\n");
    ASSERT_TRUE(stop());

    EXPECT_EQ(userFiles(), before) << "nothing of the capture landed anywhere";
    EXPECT_EQ(settingValue(readFile(home.settingsFile()), "NUMBEROFSNAPS"), " 1 ");
}

// --- the pointer in the picture ---------------------------------------------

struct PointerRow {
    const char *name;
    const char *showMouse;
    bool drawn;
};
E2E_PRINTS_NAME(PointerRow)

const PointerRow kPointer[] = {
    {"ShowMouseOn", " 1 ", true},
    {"ShowMouseOff", " 0 ", false},
};

class Pointer : public CaptureFormats, public testing::WithParamInterface<PointerRow> {};

TEST_P(Pointer, TheCursorSitsWithItsHotSpotOnThePointer) {
    // Xvfb's default cursor: 16x16, hot spot at 7,7.
    const QPoint at(500, 400), hotSpot(7, 7);
    const QRect cursor(at - hotSpot, QSize(16, 16));
    ASSERT_TRUE(start({"SHOWMOUSE", GetParam().showMouse}));
    xdotool(x, {"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())});
    ASSERT_TRUE(openOverlay());
    xdotool(x, {"key", "d"});
    xdotool(x, {"key", "Return"});
    QImage whole;
    ASSERT_TRUE(saved("Quillcap_001.png", &whole));
    whole = whole.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(whole.size(), QSize(1920, 1080));

    if (GetParam().drawn) {
        EXPECT_NE(whole.pixel(at), PatternPixel(at)) << "nothing drawn at the hot spot";
        // Outside the cursor's 16x16 square the picture is the pattern.
        EXPECT_EQ(FirstDifference(whole,
                                  [&](QPoint p) {
                                      return cursor.contains(p) ? whole.pixel(p) : PatternPixel(p);
                                  }),
                  "");
        for (const QPoint away : {QPoint(40, 0), QPoint(-40, 0), QPoint(0, 40), QPoint(0, -40)})
            EXPECT_EQ(whole.pixel(at + away), PatternPixel(at + away));
    } else {
        EXPECT_EQ(FirstDifference(whole, PatternPixel), "");
    }
    ASSERT_TRUE(stop());
}

INSTANTIATE_TEST_SUITE_P(Both, Pointer, testing::ValuesIn(kPointer),
                         [](const auto &info) { return std::string(info.param.name); });

// --- remembered regions across a restart -------------------------------------

TEST_F(CaptureFormats, ArrowsCycleTheRegionsRememberedBeforeARestart) {
    ASSERT_TRUE(start({}));
    ASSERT_TRUE(openOverlay());
    xdotool(x, {"key", "r"});
    xdotool(x, {"key", "Return"});
    ASSERT_TRUE(waitForWindow(x, caption(1)));
    ASSERT_TRUE(openOverlay());
    xdotool(x, {"key", "shift+e"});
    xdotool(x, {"key", "Return"});
    ASSERT_TRUE(waitForWindow(x, caption(2)));
    QImage older, newer;
    ASSERT_TRUE(saved("Quillcap_001.png", &older));
    ASSERT_TRUE(saved("Quillcap_002.png", &newer));
    EXPECT_EQ(older.size(), QSize(384, 216));
    EXPECT_EQ(newer.size(), QSize(640, 480));
    ASSERT_TRUE(stop());

    // The log starts afresh with the new run.
    ASSERT_TRUE(start({}));
    ASSERT_TRUE(openOverlay());
    ASSERT_TRUE(waitFor([&] { return !boxLines().isEmpty(); }, "a box line at open"));
    EXPECT_EQ(boxLines().last(), kPresetBox) << "the overlay opens on the newest region";
    EXPECT_TRUE(keyShows("Left", kSmallBox));
    EXPECT_TRUE(keyShows("Right", kPresetBox));
    EXPECT_TRUE(keyShows("Right", kSmallBox)) << "wraps round to the oldest";
    xdotool(x, {"key", "Escape"});
    ASSERT_TRUE(stop());
}

// --- names past 999 ---------------------------------------------------------

TEST_F(CaptureFormats, TheNameAfterThe1000thNeverReplacesIt) {
    QMap<QString, QByteArray> existing;
    for (const int number : {998, 999, 1000}) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(qRgb(number & 255, 7, 9));
        const QString file = pictures() + QStringLiteral("/Quillcap_%1.png").arg(number);
        ASSERT_TRUE(image.save(file));
        existing.insert(file, readFile(file));
    }
    ASSERT_TRUE(start({}));
    ASSERT_TRUE(openOverlay());
    xdotool(x, {"key", "d"});
    xdotool(x, {"key", "Return"});
    QImage capture;
    ASSERT_TRUE(saved("Quillcap_1001.png", &capture));
    EXPECT_EQ(capture.size(), QSize(1920, 1080));
    ASSERT_TRUE(waitForWindow(x, caption(1)));
    ASSERT_TRUE(stop());
    for (auto it = existing.cbegin(); it != existing.cend(); ++it)
        EXPECT_EQ(readFile(it.key()), it.value()) << it.key().toStdString() << " changed";
    EXPECT_EQ(QDir(pictures()).entryList(QDir::Files).size(), 4);
}

} // namespace
} // namespace e2e
