#pragma once

#include "platform/platform.h"

#include <QHash>
#include <QStringList>

namespace quillcap {

// Records the last state asked of each window. SetTaskbarButton shows the
// window, as the real one does. No other program's window is ever found.
class FakeWindowSystem : public WindowSystem {
public:
    QHash<const QWidget *, bool> topMost, taskbarButton;

    bool FindWindowByTitle(const QString &) override { return false; }
    void SetTopMost(QWidget *window, bool on) override { topMost[window] = on; }
    void SetTaskbarButton(QWidget *window, bool show) override;
};

// One 1920x1080 monitor at 96 DPI unless a test says otherwise.
class FakeScreenInfo : public ScreenInfo {
public:
    QPoint primaryOrigin{0, 0};

    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 15; }
    QPoint PrimaryOrigin() const override { return primaryOrigin; }
    QSize PrimarySize() const override { return {1920, 1080}; }
};

// Answers the folder picker with `folderAnswer` (empty: the user cancelled).
class FakeShell : public Shell {
public:
    QString folderAnswer;
    QStringList browseStartFolders, openedUrls;

    QString BrowseForFolder(QWidget *, const QString &, const QString &startFolder) override {
        browseStartFolders << startFolder;
        return folderAnswer;
    }
    void OpenUrl(const QString &address) override { openedUrls << address; }
};

// Serves a fixed desktop picture (virtual-screen origin at its top-left).
class FakeScreenCapture : public ScreenCapture {
public:
    QImage desktop;
    CursorImage cursor;
    std::optional<ActiveWindowFrame> activeWindow;
    int grabs = 0;

    QImage GrabDesktop(const QRect &area) override;
    CursorImage GrabCursor() override { return cursor; }
    std::optional<ActiveWindowFrame> ActiveWindow() override { return activeWindow; }
};

// The monitors a test sets up; one 1920x1080 primary unless it says otherwise.
class FakeDisplays : public DisplayEnumerator {
public:
    std::vector<DisplayDevice> devices;

    FakeDisplays();
    std::vector<DisplayDevice> EnumerateDisplays() override { return devices; }
};

// A hot key the test presses itself.
class FakeHotKey : public HotKey {
public:
    bool hooked = false;

    void HookHotKeys() override { hooked = true; }
    void UnhookHotKeys() override { hooked = false; }
    void Press() {
        if (hooked)
            emit pressed();
    }
};

// A Platform of fakes, each reachable by its own type.
struct FakePlatform {
    FakeWindowSystem *windows = new FakeWindowSystem;
    FakeScreenInfo *screens = new FakeScreenInfo;
    FakeShell *shell = new FakeShell;
    FakeScreenCapture *capture = new FakeScreenCapture;
    FakeHotKey *hotKey = new FakeHotKey;
    FakeDisplays *displays = new FakeDisplays;
    // Owns the fakes above.
    Platform platform{
        std::unique_ptr<WindowSystem>(windows),  std::unique_ptr<ScreenInfo>(screens),
        std::unique_ptr<Shell>(shell),           std::unique_ptr<DisplayEnumerator>(displays),
        std::unique_ptr<ScreenCapture>(capture), std::unique_ptr<HotKey>(hotKey)};
};

} // namespace quillcap
