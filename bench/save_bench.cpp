// Time from Enter on the capture overlay to the PNG file being whole under
// its name, against scrot writing the same screen, timed as a whole process.
// Whole desktop, sound and message window off, on an Xvfb the size of the
// bench picture with that picture as the root's background, so both encoders
// get a realistic screen. The program links a finished temporary file into
// place, so inotify sees the name appear whole.
// Usage: save_bench SCREENSHOT.png [captures]
#include "benchtools.h"

#include <QFileInfo>
#include <QImageReader>

#include <X11/keysym.h>

#include <sys/inotify.h>

#include <cstdio>

namespace {

void drain(int watch) {
    alignas(inotify_event) char buffer[4096];
    while (::read(watch, buffer, sizeof buffer) > 0) {
    }
}

// Moved in, linked in already holding its data, or closed after writing.
bool waitWhole(int watch, const QString &folder, const QString &name) {
    alignas(inotify_event) char buffer[4096];
    for (const QDeadlineTimer deadline(xs::kTimeout); !deadline.hasExpired();) {
        pollfd fd{watch, POLLIN, 0};
        if (::poll(&fd, 1, int(deadline.remainingTime())) <= 0)
            break;
        const ssize_t got = ::read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < got;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->len == 0 || name != QString::fromLocal8Bit(event->name))
                continue;
            if ((event->mask & (IN_MOVED_TO | IN_CLOSE_WRITE)) ||
                ((event->mask & IN_CREATE) && QFileInfo(folder + '/' + name).size() > 0))
                return true;
        }
    }
    return xs::fail("timed out waiting for " + name);
}

bool wholeDesktopPng(const QString &file, QSize screen) {
    QImageReader reader(file);
    return reader.format() == "png" && reader.read().size() == screen;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const auto [x, captures, exitCode] =
        bench::startScreenBench(argc, argv, "save_bench", "captures", 20);
    if (!x)
        return exitCode;
    const auto failed = [](const QString &what = {}) {
        std::fprintf(stderr, "save_bench: %s\n",
                     what.isEmpty() ? xs::why().c_str() : qPrintable(what));
        return 1;
    };
    const xs::Home home;
    const QString folder = home.root() + QStringLiteral("/shots");
    if (!home.writeSettings({"STARTMINIMIZED", " 1 ", "PLAYSOUND", " 0 ", "SHOWMESSAGE", " 0 ",
                             "SAVEFOLDER", folder, "FILETYPEINDEX", " 2 "}) ||
        !QDir().mkpath(folder))
        return failed("no settings or save folder");

    std::vector<double> ours, theirs;
    qint64 ourBytes = 0, theirBytes = 0;
    {
        xs::QuillCap program(*x, home.environment(*x));
        // Started in the tray: untimed, the splash comes and goes first.
        if (!program.waitForSplashToEnd())
            return failed(xs::why().c_str());
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (::inotify_add_watch(watch, qPrintable(folder),
                                IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE) < 0)
            return failed("no inotify watch on " + folder);
        for (int i = 1; i <= captures; ++i) {
            const QString name = QStringLiteral("Quillcap_%1.png").arg(i, 3, 10, QChar(u'0'));
            if (!program.openOverlay())
                return failed();
            x->tap(XK_d); // the overlay takes its keys in order: nothing to wait for
            drain(watch);
            QElapsedTimer clock;
            clock.start();
            x->tap(XK_Return);
            if (!waitWhole(watch, folder, name))
                return failed();
            ours.push_back(clock.nsecsElapsed() / 1e6);
            if (!wholeDesktopPng(folder + '/' + name, x->size()))
                return failed(name + " is not a whole-desktop PNG");
            ourBytes = QFileInfo(folder + '/' + name).size();
            if (!x->waitForNoWindow(xs::kOverlay))
                return failed();
        }
        ::close(watch);
    }
    const QString shot = home.root() + QStringLiteral("/scrot.png");
    for (int i = 0; i < captures; ++i) {
        const bench::Timed run = bench::runTimed({"scrot", "-o", shot}, x->display());
        if (!run.ok || !wholeDesktopPng(shot, x->size()))
            return failed("scrot did not write a whole-desktop PNG");
        theirs.push_back(run.ms);
        theirBytes = QFileInfo(shot).size();
    }
    const double ourMs = bench::median(ours), theirMs = bench::median(theirs);
    std::printf("Enter to whole PNG file, %dx%d, median of %d; scrot timed as a whole process\n"
                "  QuillCap %8.1f ms %10lld bytes\n"
                "  scrot    %8.1f ms %10lld bytes\n"
                "  QuillCap/scrot: %.2fx the time, %.2fx the size "
                "(goal: at most 0.3x the time at no larger a file)\n",
                x->size().width(), x->size().height(), captures, ourMs,
                static_cast<long long>(ourBytes), theirMs, static_cast<long long>(theirBytes),
                ourMs / theirMs, double(ourBytes) / double(theirBytes));
    return 0;
}
