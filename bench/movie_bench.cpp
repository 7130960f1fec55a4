// The movie of the whole desktop at 20 frames a second, PNG and JPG frames
// on the machine's ordinary disk, against FFmpeg's x11grab writing the same
// sequence (timed as a whole process). On an Xvfb the size of the bench
// picture, showing it. For each format: frames written per second, missed
// ticks (from the debug log), peak memory, and in a short run stopped by
// hand, the time from the Stop click to the movie window going and to the
// last frame being written.
// Usage: movie_bench SCREENSHOT.png [seconds]   (default 30)
#include "benchtools.h"

#include <QFileInfo>
#include <QImageReader>
#include <QThread>

#include <X11/keysym.h>

#include <cstdio>

using namespace std::chrono_literals;

namespace {

constexpr int kFps = 20;
const QRegularExpression kMovieWindow{QStringLiteral("QuillCap movie")};
const QPoint kStartStop(31, 25); // the movie window sits at the screen's corner
const QRegularExpression kEndLine{
    QStringLiteral(R"(Movie capture: (\d+) frame\(s\) written, (\d+) tick\(s\) missed)")};

struct Ours {
    int frames = 0, missed = 0;
    double seconds = 0;             // from the Start click to the log line
    long peakKb = 0, beforeKb = 0;  // at the end, and before Start
    double hideMs = 0, drainMs = 0; // from the Stop click (stopped runs only)
};

// XTest, no process start: the click is on the server when this returns.
void click(xs::XSession &x, QPoint at) {
    xcb_connection_t *c = x.connection();
    xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, x.root(), int16_t(at.x()),
                        int16_t(at.y()), 0);
    for (const uint8_t type : {XCB_BUTTON_PRESS, XCB_BUTTON_RELEASE})
        xcb_test_fake_input(c, type, 1, XCB_CURRENT_TIME, x.root(), 0, 0, 0);
    x.sync();
}

QStringList frameFiles(const QString &folder, const QString &pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files);
}

// A run of `maxImages` frames; with `stopAfter`, Stop is clicked then.
std::optional<Ours> recordMovie(xs::XSession &x, const QString &type, int maxImages,
                                std::optional<std::chrono::milliseconds> stopAfter = {}) {
    const xs::Home home;
    const QString folder = home.root() + QStringLiteral("/frames");
    const QString log = home.dataFolder() + QStringLiteral("/QuillCap.log");
    if (!QDir().mkpath(folder) ||
        !home.writeSettings({"STARTMINIMIZED", " 1 ", "PLAYSOUND", " 0 ", "SHOWMESSAGE", " 0 ",
                             "SAVEFOLDER", folder, "FILETYPEINDEX", type == "PNG" ? " 2 " : " 1 ",
                             "DEBUGLOG", " 1 "}))
        return xs::fail("no settings or save folder"), std::nullopt;
    xs::QuillCap program(x, home.environment(x));
    // Started in the tray: untimed, the splash comes and goes first.
    if (!program.waitForSplashToEnd())
        return std::nullopt;
    const qint64 pid = program.m_process.processId();
    xcb_window_t box = XCB_WINDOW_NONE;
    if (!program.openOverlay())
        return std::nullopt;
    x.tap(XK_d); // whole desktop
    x.tap(XK_m);
    if (!x.waitForWindow(kMovieWindow, &box) || !x.focus(box) || !x.key("Tab Tab Tab Tab ctrl+a") ||
        !x.type(QString::number(maxImages)))
        return std::nullopt;
    Ours ours;
    ours.beforeKb = bench::procStatusKb(pid, "VmHWM");
    QElapsedTimer clock;
    clock.start(); // the program may act on a click before the sync's reply comes
    click(x, kStartStop);
    if (stopAfter) {
        QThread::msleep(stopAfter->count());
        clock.start();
        click(x, kStartStop);
        while (x.viewable(box) && clock.elapsed() < xs::kTimeout.count())
            QThread::usleep(500);
        ours.hideMs = clock.nsecsElapsed() / 1e6;
    }
    QRegularExpressionMatch end;
    const auto ended = [&] { return (end = kEndLine.match(readFile(log))).hasMatch(); };
    const auto allowed =
        stopAfter ? xs::kTimeout : std::chrono::milliseconds(maxImages * 1000 / kFps * 3);
    if (!xs::waitFor(ended, "the movie's end in the log", allowed, 2ms))
        return std::nullopt;
    if (stopAfter)
        ours.drainMs = clock.nsecsElapsed() / 1e6;
    else
        ours.seconds = clock.nsecsElapsed() / 1e9;
    ours.frames = end.captured(1).toInt();
    ours.missed = end.captured(2).toInt();
    ours.peakKb = bench::procStatusKb(pid, "VmHWM");
    // Checked outside the timing: every frame is there, the first one whole.
    const QStringList files = frameFiles(folder, "Quillcap_*." + type);
    if (files.size() != ours.frames ||
        QImageReader(folder + '/' + files.value(0)).read().size() != x.size())
        return xs::fail(QString("%1 %2 files for %3 frames written, or the first not whole")
                            .arg(files.size())
                            .arg(type)
                            .arg(ours.frames)),
               std::nullopt;
    return ours;
}

// FFmpeg's grabber writing `frames` numbered files into `folder`.
bench::Timed ffmpeg(xs::XSession &x, const QString &folder, const QString &type, int frames) {
    QStringList command = QString("ffmpeg -y -loglevel error -f x11grab -framerate 20").split(' ');
    command << "-video_size" << QString("%1x%2").arg(x.size().width()).arg(x.size().height())
            << "-i" << x.display() << "-frames:v" << QString::number(frames);
    if (type == "JPG")
        command += {"-q:v", "3"};
    bench::Timed run =
        bench::runTimed(command << folder + "/out%05d." + type.toLower(), x.display());
    run.ok = run.ok && frameFiles(folder, "out*").size() == frames;
    return run;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const auto [x, seconds, exitCode] =
        bench::startScreenBench(argc, argv, "movie_bench", "seconds", 30);
    if (!x)
        return exitCode;
    const int frames = seconds * kFps;
    const QSize size = x->size();
    std::printf("Movie of the whole desktop, %dx%d, 20 fps for %d s (%d frames), frames on %s\n"
                "  ours: fps = frames / (Start click to the last frame written); peak = VmHWM "
                "(before Start);\n  Stop: a %d s run stopped by hand, click to window gone / to "
                "last frame written\n",
                size.width(), size.height(), seconds, frames,
                qPrintable(bench::fileSystemOf(QDir::tempPath())), std::min(5, seconds));
    std::printf("  format  frames    fps  missed  peak MB (before)  Stop ms: window  last frame"
                "  | ffmpeg fps  peak MB  | ours/ffmpeg fps\n");
    for (const QString type : {"PNG", "JPG"}) {
        const auto ours = recordMovie(*x, type, frames);
        // A maximum far off, so the Stop click ends it.
        const auto stopped =
            recordMovie(*x, type, 10000, std::chrono::seconds(std::min(5, seconds)));
        const QTemporaryDir theirFolder;
        const bench::Timed theirs = ffmpeg(*x, theirFolder.path(), type, frames);
        if (!ours || !stopped || !theirs.ok) {
            std::fprintf(stderr, "movie_bench: %s: %s\n", qPrintable(type),
                         theirs.ok ? xs::why().c_str() : "ffmpeg did not write every frame");
            return 1;
        }
        const double ourFps = ours->frames / ours->seconds;
        const double theirFps = frames / (theirs.ms / 1000);
        std::printf("  %-6s  %6d  %5.1f  %6d  %7.0f (%5.0f)  %15.1f  %10.0f  | %10.1f  %7.0f  | "
                    "%6.2fx\n",
                    qPrintable(type), ours->frames, ourFps, ours->missed, ours->peakKb / 1024.0,
                    ours->beforeKb / 1024.0, stopped->hideMs, stopped->drainMs, theirFps,
                    theirs.peakKb / 1024.0, ourFps / theirFps);
    }
    std::printf("  goals: no missed tick at 1920x1080 in either format, nor for JPG at 3840x2160;"
                " PNG at 3840x2160 at least 2x ffmpeg's fps\n");
    return 0;
}
