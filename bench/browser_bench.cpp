// The image browser: a click to the shown preview of a big picture, and the
// folder's listing and next name with many files in the folder.
// Usage: browser_bench PICTURE.png  (runs without a display)
#include "app/appstate.h"
#include "app/usermessages.h"
#include "mainwindow/browserwidgets.h"
#include "mainwindow/imagebrowser.h"
#include "naming/filenumbering.h"
#include "platform/x11/qtshell.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace quillcap;

namespace {

struct NoMessages final : UserMessages {
    void Inform(const QString &) override {}
    void Warn(const QString &) override {}
    bool Confirm(const QString &, const QString &) override { return false; }
};

template <class F> double medianMs(int runs, F &&run) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        run();
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

struct Browser {
    AppState state;
    x11::QtShell shell;
    NoMessages messages;
    QWidget window;
    FileListBox *list = new FileListBox(&window);
    QLabel *viewer = new QLabel(&window);
    ImageBrowser browser{state, shell, messages, *list, *viewer};
    explicit Browser(const QString &folder) {
        state.settings.saveFolder = folder;
        viewer->setGeometry(200, 0, 400, 300);
        window.resize(600, 300);
        window.show();
    }
};

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2 || !QFile::exists(QString::fromLocal8Bit(argv[1]))) {
        std::printf("browser_bench: no picture at %s: click to preview not measured\n",
                    argc < 2 ? "(none given)" : argv[1]);
    } else {
        QTemporaryDir dir;
        QFile::copy(QString::fromLocal8Bit(argv[1]), dir.filePath("picture.png"));
        Browser b(dir.path());
        b.browser.RefreshFileBox();
        QWidget *preview = b.viewer->findChild<QWidget *>("imgPreview");
        double held = 0; // the click itself, on the window's thread
        const double ms = medianMs(10, [&] {
            b.list->clearSelection();
            QElapsedTimer click;
            click.start();
            b.list->setCurrentRow(0); // as a click does
            held += click.nsecsElapsed() / 1e6 / 10;
            while (preview->isHidden()) // decoded on a worker thread
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            preview->repaint();
        });
        std::printf("click to preview, %s: %.1f ms (median of 10); the click holds the window "
                    "%.2f ms (mean)\n",
                    argv[1], ms, held);
    }
    for (const int files : {10000, 100000}) {
        QTemporaryDir dir;
        for (int i = 0; i < files; ++i)
            QFile(dir.filePath(QString::asprintf("Quillcap_%06d.png", i)))
                .open(QIODevice::WriteOnly);
        Browser b(dir.path());
        const double refresh = medianMs(5, [&] { b.browser.RefreshFileBox(); });
        const SystemClock clock;
        const TemplateExpander expander{clock};
        QString name;
        const double first =
            medianMs(5,
                     [&] {
                         b.browser.RefreshFileBox();
                         name = NextImageName(expander, "Quillcap_", b.browser.entries(), "PNG");
                     }) -
            refresh;
        const double move = medianMs(
            101, [&] { name = NextImageName(expander, "Quillcap_", b.browser.entries(), "PNG"); });
        std::printf("%6d files: list refresh %.1f ms, next name after it %.2f ms, on a pointer "
                    "move %.3f ms (%s)\n",
                    files, refresh, first, move, qPrintable(name));
    }
    return 0;
}
