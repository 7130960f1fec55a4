#include "mainwindow/trayicon.h"

#include "app/appicon.h"
#include "app/appstate.h"
#include "mainwindow/mainwindow.h"
#include "platform/platform.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <utility>

namespace quillcap {

namespace {

QAction *item(QMenu &menu, const char *name, const QString &caption) {
    QAction *action = menu.addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

TrayIcon::TrayIcon(AppState &state, Platform &platform, MainWindow &window)
    : m_state(state), m_platform(platform), m_window(window), m_menu(std::make_unique<QMenu>()) {
    m_menu->setObjectName(QStringLiteral("pMenu"));
    m_menu->setTitle(QStringLiteral("PopMenu"));
    // The first two lines only inform: choosing them just closes the menu.
    item(*m_menu, "itmImageName", QStringLiteral("(next image name)"));
    item(*m_menu, "itmDummy", QStringLiteral("___________"));
    connect(item(*m_menu, "itmOpen", QStringLiteral("Open")), &QAction::triggered, &m_window,
            &MainWindow::ExpandWindow);
    // Queued: the unload takes the icon away, which must not happen while the
    // icon's host is still telling us about the click.
    connect(
        item(*m_menu, "itmExit", QStringLiteral("Exit")), &QAction::triggered, &m_window,
        [this] { m_window.ExitProgram(); }, Qt::QueuedConnection);
    connect(m_menu.get(), &QMenu::aboutToShow, this, &TrayIcon::RefreshMenu);
    // Queued: the window hides once its state change is through.
    connect(&m_window, &MainWindow::minimized, this, &TrayIcon::OnMinimized, Qt::QueuedConnection);
    m_watch.setInterval(1000);
    connect(&m_watch, &QTimer::timeout, this, &TrayIcon::CheckTrayStillThere);
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::Available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::SetTaskbarButton(bool show) {
    m_taskbarButton = show;
    m_platform.windows->SetTaskbarButton(&m_window, show);
}

void TrayIcon::Add() {
    if (m_added)
        return;
    m_added = true;
    m_icon = std::make_unique<QSystemTrayIcon>(AppIcon());
    m_icon->setToolTip(QLatin1String(kTip));
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                // An icon embedded in a panel has a place on the screen, and
                // there double clicks come through; a StatusNotifierItem host
                // only activates, which arrives as a single trigger.
                const bool doubleClicks = !m_icon->geometry().isEmpty();
                if (reason == QSystemTrayIcon::DoubleClick ||
                    (reason == QSystemTrayIcon::Trigger && !doubleClicks))
                    m_window.ExpandWindow();
            });
    m_icon->show();
    if (!m_pendingText.isEmpty())
        Notify(std::exchange(m_pendingTitle, {}), std::exchange(m_pendingText, {}));
}

void TrayIcon::Notify(const QString &title, const QString &text) {
    if (!m_icon) {
        m_pendingTitle = title;
        m_pendingText = text;
        return;
    }
    if (Available())
        m_icon->showMessage(title, text, QSystemTrayIcon::Warning);
}

void TrayIcon::Remove() {
    m_watch.stop();
    if (m_icon)
        m_icon->hide();
    m_icon.reset();
}

void TrayIcon::RefreshMenu() {
    m_window.RefreshNextImageName();
    QAction *name = m_menu->actions().value(0);
    name->setText(m_window.NextImageName());
    name->setEnabled(true);
}

void TrayIcon::OnMinimized() {
    if (!m_window.isMinimized())
        return;
    if (Available()) {
        m_window.hide();
        m_watch.start();
        return;
    }
    // No tray to come back from: the window stays minimized in the taskbar,
    // so it must have a button there.
    m_state.log.WriteLog(QStringLiteral("No tray: staying minimized in the taskbar"));
    if (!m_taskbarButton)
        SetTaskbarButton(true);
    if (m_window.isHidden() || !m_window.isMinimized())
        m_window.showMinimized();
}

void TrayIcon::CheckTrayStillThere() {
    if (m_window.isVisible()) {
        m_watch.stop();
        return;
    }
    if (Available())
        return;
    m_watch.stop();
    m_state.log.WriteLog(QStringLiteral("The tray went away: showing the main window"));
    SetTaskbarButton(true);
    m_window.ExpandWindow();
}

} // namespace quillcap
