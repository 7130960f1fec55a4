// The movie: frames of a live, changing screen, a closed window, a video, a
// folder that fills up.
#include "e2e.h"

#include <QScopeGuard>
#include <atomic>
#include <thread>

namespace e2e {
namespace {

using Movie = E2e;

const QRegularExpression kStopBox{QStringLiteral("QuillCap movie")};
const QPoint kStopButton(31, 25); // the control window sits at the screen's corner
const QRect kArea(600, 400, 160, 120);

// Paints kArea of the root again and again, each time in one request: red and
// green tell the position, blue counts the paintings, so a frame taken at one
// moment has one blue.
class Animation {
public:
    explicit Animation(const QString &display)
        : m_thread([this, name = display.toUtf8()] { Run(name); }) {}
    ~Animation() {
        m_stop = true;
        m_thread.join();
    }
    static QRgb Pixel(QPoint p, int count) { return qRgb(p.x() & 255, p.y() & 255, count & 255); }

private:
    void Run(const QByteArray &display) {
        xcb_connection_t *c = xcb_connect(display.constData(), nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const xcb_gcontext_t gc = xcb_generate_id(c);
        xcb_create_gc(c, gc, root, 0, nullptr);
        QImage image(kArea.size(), QImage::Format_RGB32);
        for (int count = 0; !m_stop; ++count) {
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, Pixel(kArea.topLeft() + QPoint(x, y), count));
            xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, gc, image.width(), image.height(),
                          kArea.x(), kArea.y(), 0, 24, uint32_t(image.sizeInBytes()),
                          image.constBits());
            std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
            std::this_thread::sleep_for(10ms);
        }
        xcb_disconnect(c);
    }
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

// Draws kArea on the overlay, presses M and waits for the control window.
bool openMovieWindow(XSession &x, QuillCap &app, xcb_window_t *stopBox = nullptr) {
    return app.openOverlay() && x.drag(kArea.topLeft(), kArea.bottomRight() + QPoint(1, 1)) &&
           x.key("m") && x.waitForWindow(kStopBox, stopBox);
}

QStringList pictures(const Home &home) {
    return QDir(home.home() + "/Pictures").entryList({"Quillcap_*"}, QDir::Files | QDir::Hidden);
}

TEST_F(Movie, FramesAreTheLiveScreenNumberedInOrderAndStopEndsIt) {
    Animation animation(x->display());
    QuillCap app(*x, home.environment(*x));
    ASSERT_TRUE(openMovieWindow(*x, app) && x->click(kStopButton)) << why();
    ASSERT_TRUE(waitFor([&] { return pictures(home).size() >= 6; }, "frames")) << why();
    ASSERT_TRUE(x->key("Print")) << why(); // ignored while recording
    ASSERT_TRUE(waitFor([&] { return pictures(home).size() >= 12; }, "a dozen frames")) << why();
    EXPECT_EQ(x->windows(kOverlay, true), QList<xcb_window_t>());
    // A border just outside the area shows what is recorded.
    const QImage recording = x->grabRoot();
    EXPECT_EQ(recording.pixel(kArea.topLeft() - QPoint(1, 1)), qRgb(230, 40, 40));
    EXPECT_EQ(recording.pixel(kArea.bottomRight() + QPoint(1, 1)), qRgb(230, 40, 40));
    ASSERT_TRUE(x->click(kStopButton) && x->waitForNoWindow(kStopBox)) << why();
    ASSERT_TRUE(x->waitForWindow(QRegularExpression("QuillCap  \\(1 snaps\\)"))) << why();
    EXPECT_NE(x->grabRoot().pixel(kArea.topLeft() - QPoint(1, 1)), qRgb(230, 40, 40));

    const QStringList frames = pictures(home);
    int previous = -1;
    for (int i = 0; i < frames.size(); ++i) {
        ASSERT_EQ(frames[i], QString::asprintf("Quillcap_%05d.PNG", i + 1));
        const QImage frame =
            QImage(home.home() + "/Pictures/" + frames[i]).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(frame.size(), kArea.size()) << frames[i].toStdString();
        const int count = qBlue(frame.pixel(0, 0));
        EXPECT_EQ(
            firstDifference(frame,
                            [&](QPoint p) { return Animation::Pixel(p + kArea.topLeft(), count); }),
            "")
            << frames[i].toStdString() << " is not the screen at one moment";
        // The counter wraps at 256; a frame may repeat the screen, never go back.
        EXPECT_TRUE(previous < 0 || (count - previous + 256) % 256 < 128)
            << frames[i].toStdString();
        previous = count;
    }
    EXPECT_NE(previous, qBlue(Animation::Pixel({}, 0))) << "the screen was not followed";
    ASSERT_TRUE(app.stop()) << why();
    EXPECT_TRUE(readFile(home.dataFolder() + "/lastcaps.txt").contains("\r\n160\r\n"))
        << "the region is remembered";
}

TEST_F(Movie, ClosedBeforeStartNothingIsWrittenOrCountedAndAsAVideoFfprobeReadsTheFilm) {
    QuillCap app(*x, home.environment(*x));
    xcb_window_t stopBox = XCB_WINDOW_NONE;
    ASSERT_TRUE(openMovieWindow(*x, app, &stopBox)) << why();
    const QRect box = x->geometry(stopBox);
    ASSERT_TRUE(x->click(QPoint(box.right() - 10, box.top() + 10))) << why(); // the close image
    ASSERT_TRUE(x->waitForNoWindow(kStopBox)) << why();
    EXPECT_TRUE(x->waitForWindow(QRegularExpression("QuillCap  \\(0 snaps\\)"))) << why();
    EXPECT_EQ(pictures(home), QStringList());
    // Again, as AVI, ended by a stop signal: the film is closed so it plays.
    ASSERT_TRUE(openMovieWindow(*x, app, &stopBox) && x->focus(stopBox)) << why();
    ASSERT_TRUE(x->key("Tab Tab space") && x->click(kStopButton)) << why(); // Save as AVI
    const QString film = home.home() + "/Pictures/Quillcap_00001.avi";
    ASSERT_TRUE(waitFor([&] { return QFileInfo(film).size() > 40'000; }, "frames in the film"));
    ASSERT_TRUE(app.stop()) << why();
    QByteArray probe;
    ASSERT_TRUE(x->run("ffprobe",
                       {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                        "stream=codec_name,width,height,r_frame_rate,nb_read_frames", "-of",
                        "default=nw=1", film},
                       &probe))
        << why();
    const QStringList lines = QString::fromUtf8(probe).trimmed().split('\n');
    EXPECT_EQ(lines.mid(0, 4),
              QStringList({"codec_name=mjpeg", "width=160", "height=120", "r_frame_rate=20/1"}))
        << probe.toStdString();
    EXPECT_GE(lines.value(4).section('=', 1).toInt(), 5) << probe.toStdString();
    EXPECT_EQ(pictures(home), QStringList({"Quillcap_00001.avi"}));
}

TEST_F(Movie, AFullFolderEndsTheSequenceWithTheMessageAndWholeFrames) {
    const QString folder = home.root() + "/small";
    ASSERT_TRUE(QDir().mkpath(folder));
    // Where mounting is refused, every frame is over a file-size limit.
    const bool mounted = x->run("mount", {"-t", "tmpfs", "-o", "size=256k", "tmpfs", folder});
    const QStringList command = mounted ? QStringList{QUILLCAP_BINARY}
                                        : QStringList{"prlimit", "--fsize=4096", QUILLCAP_BINARY};
    const auto unmount = qScopeGuard([&] { x->run("umount", {folder}); });
    ASSERT_TRUE(home.writeSettings({"SAVEFOLDER", folder}));
    Animation animation(x->display()); // frames that do not compress to nothing
    QuillCap app(*x, home.environment(*x), command);
    ASSERT_TRUE(openMovieWindow(*x, app) && x->click(kStopButton)) << why();
    ASSERT_TRUE(x->waitForNoWindow(kStopBox)) << why() << "; the sequence did not end";
    ASSERT_TRUE(x->waitForWindow(QRegularExpression("QuillCap  \\(\\d snaps\\)"))) << why();
    // The pink message.
    const auto pink = [&] { return area(x->grabRoot(), qRgb(255, 192, 192)).width() > 100; };
    EXPECT_TRUE(waitFor(pink, "the error message")) << why();
    const QStringList left =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_TRUE(!mounted || !left.isEmpty()) << "the frames before the disk was full";
    for (const QString &name : left) {
        EXPECT_TRUE(name.endsWith(".PNG") && QImage(folder + "/" + name).size() == kArea.size())
            << name.toStdString() << " is not a whole frame";
    }
    ASSERT_TRUE(app.running()) << app.stderrText().toStdString();
}

} // namespace
} // namespace e2e
