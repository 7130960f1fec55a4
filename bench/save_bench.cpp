// Time from Enter on the capture overlay to the saved file being complete
// (present under its final name; the program writes to a temporary file and
// renames it into place), PNG, whole 1920x1080 desktop, sound and message
// window off. Runs the real program on the X server named by DISPLAY, with a
// real screenshot as the root window's background so the encoder gets a
// realistic picture (a generated one when the screenshot is missing).
// Usage: save_bench [captures] [screenshot.png]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "benchdisplay.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

QImage desktopPicture(const QString &file, QSize size) {
    QImage image(file);
    if (!image.isNull())
        return image.scaled(size).convertToFormat(QImage::Format_RGB32);
    std::fprintf(stderr, "save_bench: no screenshot at %s, using a generated picture\n",
                 qPrintable(file));
    image = QImage(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb(x & 255, y & 255, (x * 7 + y * 13) & 255);
    }
    return image;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int captures = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    bench::Display display;
    if (!display.ok() || !display.key(XK_Print) || display.depth() != 24) {
        std::fprintf(stderr, "save_bench: no 24-bit X display with XTest (run it through "
                             "scripts/bench)\n");
        return 1;
    }
    display.setBackground(
        desktopPicture(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString(), display.size()));

    bench::QuillCapUnderTest program;
    const QString folder = program.path(QStringLiteral("shots"));
    QDir().mkpath(folder);
    program.writeSettings("STARTMINIMIZED\r\n 1 \r\nPLAYSOUND\r\n 0 \r\nSHOWMESSAGE\r\n 0 \r\n"
                          "SAVEFOLDER\r\n" +
                          QFile::encodeName(folder) + "\r\n");
    if (!program.start(display, QStringLiteral(QUILLCAP_BINARY))) {
        std::fprintf(stderr, "save_bench: the main window never appeared\n");
        return 1;
    }
    std::vector<double> times;
    qint64 bytes = 0;
    for (int i = 1; i <= captures; ++i) {
        const QString file = folder + QStringLiteral("/Quillcap_%1.png").arg(i, 3, 10, QChar(u'0'));
        display.drain();
        display.tap(display.key(XK_Print));
        if (!display.waitFor(XCB_MAP_NOTIFY, QStringLiteral("QuillCap capture"), 30000)) {
            std::fprintf(stderr, "save_bench: the overlay never appeared\n");
            return 1;
        }
        display.tap(display.key(XK_d));
        // Nothing to wait for after D: the overlay takes its keys in order.
        QElapsedTimer clock;
        clock.start();
        display.tap(display.key(XK_Return));
        while (!QFileInfo::exists(file)) {
            if (clock.elapsed() > 30000) {
                std::fprintf(stderr, "save_bench: %s never appeared\n", qPrintable(file));
                return 1;
            }
            QThread::usleep(200);
        }
        times.push_back(clock.nsecsElapsed() / 1e6);
        // Checked outside the timing: the file decodes as the whole desktop.
        QImageReader reader(file);
        const QByteArray format = reader.format();
        const QImage saved = reader.read();
        if (saved.size() != display.size() || format != "png") {
            std::fprintf(stderr, "save_bench: %s is not a %dx%d PNG (%dx%d %s)\n", qPrintable(file),
                         display.size().width(), display.size().height(), saved.width(),
                         saved.height(), reader.format().constData());
            return 1;
        }
        bytes = QFileInfo(file).size();
        // The program waits a moment after a capture before it takes the hot
        // key again; let it pass so the next press is not taken for a repeat.
        QThread::msleep(700);
    }
    std::sort(times.begin(), times.end());
    std::printf("Enter to saved PNG (%dx%d, %lld bytes): median %.1f ms over %d captures "
                "(min %.1f, max %.1f)\n",
                display.size().width(), display.size().height(), static_cast<long long>(bytes),
                times[times.size() / 2], captures, times.front(), times.back());
    return 0;
}
