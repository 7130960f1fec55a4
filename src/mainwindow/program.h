#pragma once

#include "app/commandline.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

namespace quillcap {

struct AppPaths;
struct AppState;
class HardLogViewer;
class MainWindow;
class MiniSplash;
class TrayIcon;
class UserMessages;
struct Platform;

// Start-up, the settings files and shutdown around the main window.
class SnapshotFlow;

class Program : public QObject {
    Q_OBJECT
public:
    Program(AppState &state, const AppPaths &paths, Platform &platform, MainWindow &window,
            UserMessages &messages, bool hardLogging);
    ~Program() override;

    void StartProgram();
    // Tells the user once which Print keys other programs hold.
    void TellHotKeyClash();
    // The user clicked the start-up splash: the main window opens at once.
    void BootNormallyFromMiniSplash();
    // The start-up splash has slid away: the window goes to the tray, unless
    // the user opened it, and the tray icon appears.
    void ReturnFromSplash();
    void LoadPrefs();
    void SavePrefs();
    // Runs while the main window closes: saves, says goodbye, ends the run.
    void Unload();
    // Desktop bounds and monitor table from the display devices, logged.
    void UpdateMonitorInfo();
    SnapshotFlow &snapshots() { return *m_snapshots; }
    TrayIcon &tray() { return *m_tray; }
    // The start-up splash while it shows, else null.
    MiniSplash *splash() const { return m_splash.get(); }
    // What another start asked for; carried out once the main window is
    // ready (after start-up and the start-up splash).
    void Request(InstanceRequest request);
    // True once the program has shut down, possibly while still starting.
    bool Unloaded() const { return m_unloaded; }

private:
    void ApplyDefaults();
    void SetReady();
    void CarryOutRequests();

    AppState &m_state;
    const AppPaths &m_paths;
    Platform &m_platform;
    MainWindow &m_window;
    UserMessages &m_messages;
    bool m_hardLogging;
    std::unique_ptr<HardLogViewer> m_viewer;
    std::unique_ptr<SnapshotFlow> m_snapshots;
    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<MiniSplash> m_splash;
    bool m_unloaded = false;
    bool m_ready = false;
    std::vector<InstanceRequest> m_requests;
    // Until the saved settings are read, saving would replace them with
    // defaults.
    bool m_prefsLoaded = false;
    bool m_capsLoaded = false;
};

} // namespace quillcap
