#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace quillcap {

class MainWindow;
struct AppState;
struct Platform;

// The program's one icon in the notification area with its menu, and what
// minimizing does with the main window around it. Where the desktop has no
// tray the window keeps a taskbar button and minimizes there instead, and a
// tray that goes away gives the window back.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    static constexpr const char *kTip = "QuillCap";

    TrayIcon(AppState &state, Platform &platform, MainWindow &window);
    ~TrayIcon() override;

    // Whether a tray host is there now; asked anew each time.
    static bool Available();
    // Gives the main window a taskbar button or takes it away.
    void SetTaskbarButton(bool show);
    // Shows the icon; once a run, later calls do nothing.
    void Add();
    // A passing notice from the icon; one that comes before the icon is
    // shown waits for it. Nothing where there is no tray.
    void Notify(const QString &title, const QString &text);
    // Takes the icon away for good.
    void Remove();
    // The popup menu, "PopMenu": next name, divider, Open, Exit.
    QMenu *menu() const { return m_menu.get(); }

private:
    void RefreshMenu();
    void OnMinimized();
    void CheckTrayStillThere();

    AppState &m_state;
    Platform &m_platform;
    MainWindow &m_window;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    bool m_added = false;
    bool m_taskbarButton = true;
    QString m_pendingTitle, m_pendingText;
    // While the window hides in the tray: is the tray still there?
    QTimer m_watch;
};

} // namespace quillcap
