// Time from Enter on the capture overlay to the saved file being complete
// (present under its final name: the program writes a temporary file and
// renames it into place), PNG, whole desktop, sound and message window off.
// The real program runs on an Xvfb of its own with a real screenshot as the
// root window's background, so the encoder gets a realistic picture.
// Usage: save_bench SCREENSHOT.png [captures]
#include "xsession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace std::chrono_literals;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: save_bench SCREENSHOT.png [captures]\n");
        return 2;
    }
    const QImage screenshot(QString::fromLocal8Bit(argv[1]));
    if (screenshot.isNull()) {
        std::printf("save_bench: no screenshot at %s: nothing measured\n", argv[1]);
        return 0;
    }
    const int captures = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    const auto x = xs::XSession::start();
    const xs::Home home;
    const QString folder = home.root() + QStringLiteral("/shots");
    if (!x ||
        !home.writeSettings({"STARTMINIMIZED", " 1 ", "PLAYSOUND", " 0 ", "SHOWMESSAGE", " 0 ",
                             "SAVEFOLDER", folder}) ||
        !QDir().mkpath(folder)) {
        std::fprintf(stderr, "save_bench: %s\n", xs::why().c_str());
        return 1;
    }
    x->setRootPicture(screenshot.scaled(x->size()));
    xs::QuillCap program(*x, home.environment(*x));
    std::vector<double> times;
    qint64 bytes = 0;
    for (int i = 1; i <= captures; ++i) {
        const QString file = folder + QStringLiteral("/Quillcap_%1.png").arg(i, 3, 10, QChar(u'0'));
        if (!program.openOverlay()) {
            std::fprintf(stderr, "save_bench: %s\n", xs::why().c_str());
            return 1;
        }
        x->tap(XK_d); // the overlay takes its keys in order: nothing to wait for
        QElapsedTimer clock;
        clock.start();
        x->tap(XK_Return);
        if (!xs::waitFor([&] { return QFileInfo::exists(file); }, file, xs::kTimeout, 1ms)) {
            std::fprintf(stderr, "save_bench: %s\n", xs::why().c_str());
            return 1;
        }
        times.push_back(clock.nsecsElapsed() / 1e6);
        // Checked outside the timing: the file decodes as the whole desktop.
        QImageReader reader(file);
        const QByteArray format = reader.format();
        if (format != "png" || reader.read().size() != x->size()) {
            std::fprintf(stderr, "save_bench: %s is not a whole-desktop PNG\n", qPrintable(file));
            return 1;
        }
        bytes = QFileInfo(file).size();
        if (!x->waitForNoWindow(xs::kOverlay)) {
            std::fprintf(stderr, "save_bench: %s\n", xs::why().c_str());
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("Enter to saved PNG (%dx%d, %lld bytes): median %.1f ms over %d captures "
                "(min %.1f, max %.1f)\n",
                x->size().width(), x->size().height(), static_cast<long long>(bytes),
                times[times.size() / 2], captures, times.front(), times.back());
    return 0;
}
