// Entry routine: refuse to run outside X11, refuse a second copy, then build
// the main window and start.
#include "app/appicon.h"
#include "app/appstate.h"
#include "app/formposition.h"
#include "app/messageboxes.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "naming/clock.h"
#include "platform/apppaths.h"
#include "platform/autostartentry.h"
#include "platform/signalwatcher.h"
#include "platform/x11/x11platform.h"
#include "platform/x11/x11session.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[]) {
    using namespace quillcap;
    if (const auto problem = X11SessionProblem()) {
        std::fprintf(stderr, "%s\n", qPrintable(*problem));
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuillCap"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(AppIcon());

    AppState state;
    // What the platform has to say (a hot key another program holds) goes to
    // the debug log.
    Platform platform =
        makeX11Platform([&state](const QString &line) { state.log.WriteLog(line); });
    MessageBoxes messages;
    if (platform.windows->FindWindowByTitle(QLatin1String(kCaptionPrefix))) {
        messages.Inform(QStringLiteral("QuillCap is already running !"));
        return 0;
    }

    // A developer switch: the live log viewer.
    const bool hardLogging = qEnvironmentVariableIntValue("QUILLCAP_HARDLOG") != 0;
    const AppPaths paths = ResolveAppPaths();
    SystemClock clock;
    MainWindow window(state, platform, messages, clock);
    messages.SetOwner(&window);
    const AutostartEntry autostart(paths.autostartFolder, QCoreApplication::applicationFilePath());
    window.SetAutostart(&autostart);
    Program program(state, paths, platform, window, messages, hardLogging);
    SignalWatcher signalWatcher;
    // A polite stop closes the window as its close box would, so settings
    // and regions are saved.
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &window,
                     &QWidget::close);
    program.StartProgram();
    // Stopped while a start-up message was open: everything is saved already.
    if (program.Unloaded())
        return 0;
    return app.exec();
}
