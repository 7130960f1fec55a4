#pragma once

#include "platform/platform.h"

#include <QHash>
#include <QStringList>
#include <QWidget>

namespace quillcap {

// Records the last state asked of each window. SetTaskbarButton shows the
// window, as the real one does. No other program's window is ever found.
struct FakeWindowSystem : WindowSystem {
    QHash<const QWidget *, bool> topMost, taskbarButton;
    bool FindWindowByTitle(const QString &) override { return false; }
    void SetTopMost(QWidget *window, bool on) override { topMost[window] = on; }
    void SetTaskbarButton(QWidget *window, bool show) override {
        taskbarButton[window] = show;
        window->hide();
        window->showNormal();
    }
};

// A 1920x1080 primary monitor at 96 DPI.
struct FakeScreenInfo : ScreenInfo {
    QPoint primaryOrigin{0, 0};
    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 15; }
    QPoint PrimaryOrigin() const override { return primaryOrigin; }
    QSize PrimarySize() const override { return {1920, 1080}; }
};

// Answers the folder picker with `folderAnswer` (empty: the user cancelled).
struct FakeShell : Shell {
    QString folderAnswer;
    QStringList browseStartFolders, openedUrls, openedFiles;
    QString BrowseForFolder(QWidget *, const QString &, const QString &startFolder) override {
        browseStartFolders << startFolder;
        return folderAnswer;
    }
    void OpenUrl(const QString &address) override { openedUrls << address; }
    void OpenFile(const QString &path) override { openedFiles << path; }
};

// A black desktop with no pointer shape and no active window.
struct FakeScreenCapture : ScreenCapture {
    int grabs = 0;
    QImage GrabDesktop(const QRect &area) override {
        ++grabs;
        QImage grab(area.size(), QImage::Format_RGB32);
        grab.fill(Qt::black);
        return grab;
    }
    CursorImage GrabCursor() override { return {}; }
    std::optional<ActiveWindowFrame> ActiveWindow() override { return std::nullopt; }
};

// One 1920x1080 primary monitor unless a test adds more.
struct FakeDisplays : DisplayEnumerator {
    std::vector<DisplayDevice> devices;
    FakeDisplays() : devices(1) {
        devices[0].attached = devices[0].primary = true;
        devices[0].rect = QRect(0, 0, 1920, 1080);
    }
    std::vector<DisplayDevice> EnumerateDisplays() override { return devices; }
};

// A hot key the test presses itself.
struct FakeHotKey : HotKey {
    bool hooked = false;
    QStringList taken; // what other programs hold
    void HookHotKeys() override { hooked = true; }
    QStringList TakenCombinations() const override { return taken; }
    void UnhookHotKeys() override { hooked = false; }
    void Press() {
        if (hooked)
            emit pressed();
    }
};

// A Platform of fakes, each reachable by its own type; `platform` owns them.
struct FakePlatform {
    FakeWindowSystem *windows = new FakeWindowSystem;
    FakeScreenInfo *screens = new FakeScreenInfo;
    FakeShell *shell = new FakeShell;
    FakeScreenCapture *capture = new FakeScreenCapture;
    FakeHotKey *hotKey = new FakeHotKey;
    FakeDisplays *displays = new FakeDisplays;
    Platform platform{
        std::unique_ptr<WindowSystem>(windows),  std::unique_ptr<ScreenInfo>(screens),
        std::unique_ptr<Shell>(shell),           std::unique_ptr<DisplayEnumerator>(displays),
        std::unique_ptr<ScreenCapture>(capture), std::unique_ptr<HotKey>(hotKey),
        std::unique_ptr<OverlayHold>()};
};

} // namespace quillcap
