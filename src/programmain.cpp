// The program proper, loaded by the front door (main.cpp): read the command
// line, hand a request to the running copy or become it (refusing a second
// copy), then build the main window and start.
#include "app/appicon.h"
#include "app/appstate.h"
#include "app/commandline.h"
#include "app/formposition.h"
#include "app/messageboxes.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/program.h"
#include "naming/clock.h"
#include "platform/apppaths.h"
#include "platform/autostartentry.h"
#include "platform/instancechannel.h"
#include "platform/signalwatcher.h"
#include "platform/x11/x11platform.h"
#include "platform/x11/x11session.h"

#include <QApplication>
#include <cstdio>
#include <optional>

namespace {

using namespace quillcap;

// The exit code once `request` was handed to the running copy (or it was
// refused), nothing when none runs and this start should become it.
std::optional<int> HandOver(InstanceChannel &channel, std::optional<InstanceRequest> request) {
    if (!request)
        return std::nullopt;
    return ExitCodeAfterSending(channel.Send(RequestLine(*request)),
                                *request == InstanceRequest::Exit);
}

} // namespace

namespace {
constexpr char kAlreadyRunning[] = "QuillCap is already running !";
}

extern "C" Q_DECL_EXPORT int quillcap_program_main(int argc, char *argv[]) {
    using namespace quillcap;
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = ParseCommandLine(args, QLatin1String(MainWindow::kVersion));
    if (command.exitCode) {
        std::fputs(qPrintable(command.text), command.toStderr ? stderr : stdout);
        return *command.exitCode;
    }
    if (const auto problem = X11SessionProblem()) {
        std::fprintf(stderr, "%s\n", qPrintable(*problem));
        return 2;
    }
    AppState state;
    const auto log = [&state](const QString &line) { state.log.WriteLog(line); };
    const QString display = QString::fromLocal8Bit(qgetenv("DISPLAY"));
    // Handed over before Qt starts (the front door already tried a request
    // that came alone, before loading any of this).
    std::unique_ptr<InstanceChannel> channel;
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty()) {
        channel = makeLocalInstanceChannel(runtime, display, log);
        if (const auto code = HandOver(*channel, command.request))
            return *code;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QuillCap"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(AppIcon());
    const AppPaths paths = ResolveAppPaths();
    if (!channel && !paths.userAppFolder.isEmpty()) {
        channel = makeLocalInstanceChannel(paths.userAppFolder, display, log);
        if (const auto code = HandOver(*channel, command.request))
            return *code;
    }

    // What the platform has to say (a hot key another program holds) goes to
    // the debug log.
    Platform platform = makeX11Platform(log);
    MessageBoxes messages;
    // Bound before the main window exists, the socket is the lock against a
    // second copy; the title search below still catches older copies.
    Program *program = nullptr;
    const auto take = [&](const QByteArray &line) {
        const auto request = ParseRequestLine(line);
        if (!request || !program)
            log(QStringLiteral("Ignored a request: ") +
                QString::fromLatin1(line.toPercentEncoding()));
        else
            program->Request(*request);
        return request && program;
    };
    QString channelError;
    const auto listening =
        channel ? channel->Listen(take, &channelError) : InstanceChannel::ListenOutcome::Failed;
    if (listening == InstanceChannel::ListenOutcome::AlreadyRunning) {
        // Another copy started at the same moment and won.
        if (const auto code = HandOver(*channel, command.request))
            return *code;
        messages.Inform(QLatin1String(kAlreadyRunning));
        return 0;
    }
    if (listening == InstanceChannel::ListenOutcome::Failed && channel)
        std::fprintf(stderr, "QuillCap: no command channel (%s)\n", qPrintable(channelError));
    if (platform.windows->FindWindowByTitle(QLatin1String(kCaptionPrefix))) {
        messages.Inform(QLatin1String(kAlreadyRunning));
        return 0;
    }

    // A developer switch: the live log viewer.
    const bool hardLogging = qEnvironmentVariableIntValue("QUILLCAP_HARDLOG") != 0;
    SystemClock clock;
    MainWindow window(state, platform, messages, clock);
    messages.SetOwner(&window);
    const AutostartEntry autostart(paths.autostartFolder, QCoreApplication::applicationFilePath());
    window.SetAutostart(&autostart);
    Program instance(state, paths, platform, window, messages, hardLogging);
    program = &instance;
    SignalWatcher signalWatcher;
    // A polite stop closes the window as its close box would, so settings
    // and regions are saved.
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &window,
                     &QWidget::close);
    // With none running, --show is a plain start; --capture captures once
    // the window is ready.
    if (command.request == InstanceRequest::Capture)
        instance.Request(*command.request);
    instance.StartProgram();
    // Stopped while a start-up message was open: everything is saved already.
    if (instance.Unloaded())
        return 0;
    return app.exec();
}
