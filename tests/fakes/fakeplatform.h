#pragma once

#include "platform/platform.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <vector>

namespace quillcap {

// Answers the title search from `titles`; records what it was asked to do to
// windows. SetTaskbarButton shows the window, as the real one does.
class FakeWindowSystem : public WindowSystem {
public:
    struct Call {
        QPointer<QWidget> window;
        bool value;
    };

    QStringList titles;
    QStringList searchedPrefixes;
    std::vector<Call> topMostCalls;
    std::vector<Call> taskbarCalls;

    bool FindWindowByTitle(const QString &prefix) override;
    void SetTopMost(QWidget *window, bool on) override;
    void SetTaskbarButton(QWidget *window, bool show) override;

    // The last SetTopMost value for `window`; false when never set.
    bool IsTopMost(const QWidget *window) const;
    // The last SetTaskbarButton value for `window`; true when never set.
    bool HasTaskbarButton(const QWidget *window) const;
};

// One 1920x1080 monitor at 96 DPI unless a test says otherwise.
class FakeScreenInfo : public ScreenInfo {
public:
    double twipsX = 15;
    double twipsY = 15;
    QPoint primaryOrigin{0, 0};
    QSize primarySize{1920, 1080};

    double TwipsPerPixelX() const override { return twipsX; }
    double TwipsPerPixelY() const override { return twipsY; }
    QPoint PrimaryOrigin() const override { return primaryOrigin; }
    QSize PrimarySize() const override { return primarySize; }
};

// Answers the folder picker with `folderAnswer` (empty = the user cancelled).
class FakeShell : public Shell {
public:
    QString folderAnswer;
    QStringList browseTitles;
    QStringList browseStartFolders;
    QStringList openedUrls;

    QString BrowseForFolder(QWidget *owner, const QString &title,
                            const QString &startFolder) override;
    void OpenUrl(const QString &address) override;
};

// Serves a fixed desktop picture (virtual-screen origin at its top-left).
class FakeScreenCapture : public ScreenCapture {
public:
    QImage desktop;
    CursorImage cursor;
    std::optional<ActiveWindowFrame> activeWindow;
    QList<QRect> grabbedAreas;

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

// Where the fakes of a MakeFakePlatform() result live; they stay owned by the
// Platform.
struct FakeParts {
    FakeWindowSystem *windows = nullptr;
    FakeScreenInfo *screens = nullptr;
    FakeShell *shell = nullptr;
    FakeScreenCapture *capture = nullptr;
    FakeHotKey *hotKey = nullptr;
    FakeDisplays *displays = nullptr;
};

Platform MakeFakePlatform(FakeParts *parts = nullptr);

} // namespace quillcap
