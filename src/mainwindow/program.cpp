#include "mainwindow/program.h"

#include "app/appstate.h"
#include "app/hardlogviewer.h"
#include "app/monitorinfo.h"
#include "app/pathtext.h"
#include "app/preferencesfile.h"
#include "app/recentregionsfile.h"
#include "app/usermessages.h"
#include "mainwindow/hotkeyclash.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/minisplash.h"
#include "mainwindow/snapshotflow.h"
#include "mainwindow/trayicon.h"
#include "platform/apppaths.h"
#include "platform/atomicfile.h"
#include "platform/platform.h"

#include <QApplication>
#include <cstdio>

namespace quillcap {

Program::Program(AppState &state, const AppPaths &paths, Platform &platform, MainWindow &window,
                 UserMessages &messages, bool hardLogging)
    : m_state(state), m_paths(paths), m_platform(platform), m_window(window), m_messages(messages),
      m_hardLogging(hardLogging),
      m_snapshots(std::make_unique<SnapshotFlow>(state, platform, window, *this, messages)),
      m_tray(std::make_unique<TrayIcon>(state, platform, window)) {
    connect(&m_window, &MainWindow::unloading, this, &Program::Unload);
}

Program::~Program() = default;

void Program::ApplyDefaults() {
    Settings &s = m_state.settings;
    s.fileTypeIndex = kDefaultFileTypeIndex;
    s.prefix = QString::fromLatin1(kDefaultTemplate);
    s.saveFolder = m_state.defaultSaveFolder;
    m_window.ShowSettings();
    if (!PathExists(s.saveFolder)) {
        m_messages.Warn(QStringLiteral("Cannot find folder: \r") + s.saveFolder);
        s.saveFolder = m_state.defaultSaveFolder;
    }
    m_state.SoundFilePath = m_paths.SoundFile(QStringLiteral("capture.wav"));
    m_state.ErrorSoundPath = m_paths.SoundFile(QStringLiteral("error.wav"));
    m_state.VideoModulePath = m_paths.VideoModuleFile();
    m_state.ShowMessageAfter = true;
    s.showMsg = 1;
    m_state.EnableMultiMonitor = true;
    m_state.NumberOfSnaps = 0;
    m_state.LastOverrideName.clear();
    m_window.ShowSettings();
    m_window.RefreshFileBox();
}

void Program::StartProgram() {
    DebugLog &log = m_state.log;
    m_window.SetStartingUp(true);
    // The viewer is for developers: only their switch turns it on.
    log.HardLogging = m_hardLogging;
    m_viewer = std::make_unique<HardLogViewer>();
    log.SetViewer([viewer = m_viewer.get()](const QString &line) { viewer->HardLog(line); });
    m_viewer->setVisible(log.HardLogging);
    log.HardLog(QStringLiteral("Starting Program"));

    m_state.programFolder = m_paths.programFolder;
    m_state.defaultSaveFolder = m_paths.defaultSaveFolder;
    m_state.UserAppFolder = m_paths.userAppFolder;
    log.HardLog(QStringLiteral("The User App Path is : \r") + m_paths.userAppFolder);
    log.HardLog(QStringLiteral("giving us folder: ") + m_state.UserAppFolder);
    for (const QString &note : m_paths.notes) {
        log.HardLog(note);
        std::fprintf(stderr, "QuillCap: %s\n", qPrintable(note));
    }

    m_window.hide();
    log.Logging = false;
    m_state.OpenFromMiniSplash = false;
    m_window.ShowVersion();
    // A stop signal can arrive while a start-up message waits for the user:
    // then the run is over and start-up must not go on.
    ApplyDefaults();
    if (m_unloaded)
        return;
    LoadPrefs();
    if (m_unloaded)
        return;
    // A save cut short by a crash leaves its hidden temporary file behind.
    const int swept = SweepStaleTemporaries(m_state.settings.saveFolder);
    if (swept > 0)
        log.WriteLog(QStringLiteral("Removed ") + QString::number(swept) +
                     QStringLiteral(" stale temporary file(s) from the save folder"));

    // Without a tray to come back from, a window out of the taskbar would be
    // lost once minimized: it keeps its button then.
    m_tray->SetTaskbarButton(m_state.settings.showInTaskbar != 0 || !TrayIcon::Available());

    log.HardLog(QStringLiteral("Getting Monitor Info"));
    UpdateMonitorInfo();
    m_window.ShowCaption();

    if (m_state.settings.saveFolder == QLatin1String("booting")) {
        log.WriteLog(QStringLiteral("Whoops - put default templates back in ... "));
        m_state.settings.prefix = QString::fromLatin1(kDefaultTemplate);
        m_state.settings.saveFolder = m_state.defaultSaveFolder;
        m_state.settings.fileTypeIndex = kDefaultFileTypeIndex;
        m_state.SoundFilePath = m_paths.SoundFile(QStringLiteral("capture.wav"));
        m_state.ShowMessageAfter = true;
        m_state.settings.showMsg = 1;
        m_window.ShowSettings();
        m_window.RefreshFileBox();
    }
    m_window.UpdateStuff();
    if (m_unloaded)
        return;
    m_window.RecordLayout();

    if (m_state.settings.startMinimized == 1) {
        log.WriteLog(QStringLiteral("Booting minimized ..."));
        m_splash =
            std::make_unique<MiniSplash>(*m_platform.screens, QLatin1String(MainWindow::kVersion),
                                         m_state.settings.prefix + m_window.GetNextFileNumber() +
                                             u'.' + m_state.settings.FileTypeText().toLower());
        connect(m_splash.get(), &MiniSplash::clicked, this, &Program::BootNormallyFromMiniSplash);
        connect(m_splash.get(), &MiniSplash::finished, this, &Program::ReturnFromSplash,
                Qt::QueuedConnection);
        m_splash->Start();
        m_window.hide();
    } else {
        m_window.showNormal();
        log.WriteLog(QStringLiteral("Booting normally (not minimized)"));
        m_window.CheckFormPosition();
        // Moving alone records nothing; without this a window minimized
        // before its first resize would come back at the corner next time.
        m_state.lastNormalPosition = m_window.PositionTwips();
        m_tray->Add();
    }
    log.WriteLog(QStringLiteral("Registering Hot Key ... hold on tight..."));
    m_snapshots->HookHotKeys();
    TellHotKeyClash();
    m_window.SetStartingUp(false);
    if (!m_splash)
        SetReady();
}

void Program::Request(InstanceRequest request) {
    m_requests.push_back(request);
    if (m_ready)
        CarryOutRequests();
}

void Program::SetReady() {
    m_ready = true;
    CarryOutRequests();
}

void Program::CarryOutRequests() {
    // Later, from the event loop: a capture runs an event loop of its own,
    // which must not nest in whoever handed the request in.
    QMetaObject::invokeMethod(
        this,
        [this] {
            while (!m_requests.empty() && !m_unloaded) {
                const InstanceRequest request = m_requests.front();
                m_requests.erase(m_requests.begin());
                if (request == InstanceRequest::Capture)
                    m_snapshots->CaptureRequested();
                else if (request == InstanceRequest::Show)
                    m_window.ExpandWindow();
                else
                    m_window.ExitProgram();
            }
        },
        Qt::QueuedConnection);
}

void Program::TellHotKeyClash() {
    if (!m_platform.hotKey)
        return;
    const QString text = HotKeyClashText(m_platform.hotKey->TakenCombinations());
    if (text.isEmpty())
        return;
    // Never a message box: under a window manager that keeps Print for
    // itself it would greet every start.
    m_window.ShowHotKeyClash(text);
    m_tray->Notify(QStringLiteral("QuillCap: Print Screen is taken"), text);
}

void Program::BootNormallyFromMiniSplash() {
    m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
    m_state.log.WriteLog(QStringLiteral("Showing form (user clicked on mini splash)"));
    m_window.CheckFormPosition();
    m_state.OpenFromMiniSplash = true;
}

void Program::ReturnFromSplash() {
    if (m_unloaded)
        return;
    // Minimized, the window goes to the tray, or to the taskbar where there
    // is no tray.
    if (!m_state.OpenFromMiniSplash)
        m_window.setWindowState(m_window.windowState() | Qt::WindowMinimized);
    m_splash.reset();
    m_state.log.WriteLog(QStringLiteral("(splashscreen gone)"));
    m_tray->Add();
    SetReady();
}

void Program::UpdateMonitorInfo() {
    quillcap::UpdateMonitorInfo(m_platform.displays->EnumerateDisplays(), m_state);
}

void Program::LoadPrefs() {
    const auto result =
        PreferencesFile::Read(m_state.DataFile(QString::fromLatin1(PreferencesFile::kFileName)),
                              m_state, m_state.DataFile(QString::fromLatin1(DebugLog::kFileName)));
    m_window.ShowSettings();
    if (m_state.loadedPosition)
        m_window.MoveToTwips(*m_state.loadedPosition);
    else
        m_window.MoveToDesignPosition();
    // A file that is there but cannot be read is never replaced by defaults.
    m_prefsLoaded = result != PreferencesFile::LoadResult::Unreadable;
    if (result == PreferencesFile::LoadResult::Problem ||
        result == PreferencesFile::LoadResult::Unreadable) {
        // The regions are a file of their own: read them whatever became of
        // the settings, so neither this run's nor the earlier ones are lost.
        LoadLastCaps(m_state);
        m_capsLoaded = true;
        m_messages.Inform(PreferencesFile::kProblemMessage);
        return;
    }
    if (!PathExists(m_state.settings.saveFolder)) {
        m_messages.Warn(QStringLiteral("Cannot find folder: \r") + m_state.settings.saveFolder);
        m_state.settings.saveFolder = m_state.defaultSaveFolder;
        m_window.ShowSettings();
    }
    m_window.RefreshFileBox();
    LoadLastCaps(m_state);
    m_capsLoaded = true;
}

void Program::SavePrefs() {
    if (!m_window.isMinimized() && m_window.isVisible())
        m_state.lastNormalPosition = m_window.PositionTwips();
    m_state.log.WriteLog(QStringLiteral("Saving Prefs ... "));
    const QString path = m_state.DataFile(QString::fromLatin1(PreferencesFile::kFileName));
    QString error;
    if (path.isEmpty())
        error = QStringLiteral("no data folder, settings are kept in memory only");
    else if (!m_prefsLoaded)
        error =
            QStringLiteral("the saved settings were not read yet, so they are left as they are");
    else
        PreferencesFile::Write(path, m_state, &error);
    if (!error.isEmpty())
        m_state.log.WriteLog(QStringLiteral("Saving Prefs error: ") + error + u' ');
    else
        m_state.log.WriteLog(QStringLiteral("              ... done"));
    // Regions not read this run stay as they are on disk rather than being
    // replaced by this run's few.
    if (m_capsLoaded && !path.isEmpty())
        SaveCaps(m_state);
}

void Program::Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    // The icon goes first: it must not outlive the program by a moment.
    m_tray->Remove();
    m_splash.reset();
    // A movie being recorded ends first, so its region is saved too.
    m_snapshots->StopMovieForExit();
    SavePrefs();
    m_snapshots->UnhookHotKeys();
    m_state.log.WriteLog(QStringLiteral("... saved prefs, now unloading forms. See ya."));
    if (m_state.log.Logging)
        m_state.log.CloseLogFile();
    // Lines written after this (a capture finishing in a nested loop) must
    // not reach the closed viewer.
    m_state.log.SetViewer({});
    m_state.log.HardLogging = false;
    m_viewer.reset();
    QApplication::closeAllWindows();
    QApplication::quit();
}

} // namespace quillcap
