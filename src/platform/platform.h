#pragma once

#include "platform/displaydevice.h"

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace quillcap {

// What the window system must do for us beyond what Qt offers portably.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // True when some top-level window's title begins with `prefix` (exact,
    // case-sensitive), mapped or not.
    virtual bool FindWindowByTitle(const QString &prefix) = 0;
    // Puts the window into the top-most band or takes it out, without moving,
    // resizing or activating it.
    virtual void SetTopMost(QWidget *window, bool on) = 0;
    // Gives the window a taskbar button or takes it away; the window ends up
    // shown.
    virtual void SetTaskbarButton(QWidget *window, bool show) = 0;
};

// Screen facts in the units the stored window positions use.
class ScreenInfo {
public:
    virtual ~ScreenInfo() = default;
    // 1440 / logical DPI: 15 at 96 DPI.
    virtual double TwipsPerPixelX() const = 0;
    virtual double TwipsPerPixelY() const = 0;
    // Top-left of the primary monitor in Qt's global coordinates, to convert
    // desktop coordinates into window positions.
    virtual QPoint PrimaryOrigin() const = 0;
    virtual QSize PrimarySize() const = 0;
};

// Desktop services the user meets through dialogs and the browser.
class Shell {
public:
    virtual ~Shell() = default;
    // The folder the user picks, the picker opened at `startFolder`; empty
    // text when the picker is cancelled.
    virtual QString BrowseForFolder(QWidget *owner, const QString &title,
                                    const QString &startFolder) = 0;
    virtual void OpenUrl(const QString &address) = 0;
    // Opens the file in the user's default program for its type.
    virtual void OpenFile(const QString &path) = 0;
};

// The display devices in the window system's order.
class DisplayEnumerator {
public:
    virtual ~DisplayEnumerator() = default;
    virtual std::vector<DisplayDevice> EnumerateDisplays() = 0;
};

// The mouse pointer as it looks and where it is.
struct CursorImage {
    QImage image;    // premultiplied ARGB; null when the shape is unavailable
    QPoint hotSpot;  // inside `image`
    QPoint position; // virtual-screen pixels
};

// The window that was active as the window system reports it, frame
// included, in virtual-screen pixels. Whether it is worth selecting (a
// window manager's helper may be 1x1 and off screen) is for the caller.
struct ActiveWindowFrame {
    QRect rect;
    bool mapped = false;
};

// Reading the screen. Every rectangle and point is in virtual-screen pixels
// (device pixels, the primary monitor's corner at (0, 0)).
class ScreenCapture {
public:
    virtual ~ScreenCapture() = default;
    // One copy of `area` as RGB32; pixels that no monitor shows are black.
    virtual QImage GrabDesktop(const QRect &area) = 0;
    virtual CursorImage GrabCursor() = 0;
    // The window that was active; nothing when there is none.
    virtual std::optional<ActiveWindowFrame> ActiveWindow() = 0;
};

// Print Screen (alone, with Ctrl, with Shift) anywhere on the desktop.
class HotKey : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Takes what it can get; a combination another program holds is skipped.
    virtual void HookHotKeys() = 0;
    virtual void UnhookHotKeys() = 0;
    // The combinations ("Print", "Ctrl+Print", "Shift+Print") another program
    // held at the last HookHotKeys.
    virtual QStringList TakenCombinations() const { return {}; }
signals:
    void pressed();
};

// Keeps the overlay out of the window manager's hands: above every panel and
// dock, with the keyboard and the pointer while it is shown, whatever focus
// policy the window manager follows.
class OverlayHold {
public:
    virtual ~OverlayHold() = default;
    // Before the window is first shown.
    virtual void Prepare(QWidget *window) = 0;
    // Takes the keyboard and the pointer for the shown window. Another
    // program may hold them for a moment (the desktop shortcut that started
    // the capture): then it tries again for a while; `withoutGrab` runs if it
    // gives up.
    virtual void Grab(QWidget *window, std::function<void()> withoutGrab) = 0;
    // Gives both back; also stops trying.
    virtual void Release() = 0;
};

struct Platform {
    std::unique_ptr<WindowSystem> windows;
    std::unique_ptr<ScreenInfo> screens;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<DisplayEnumerator> displays;
    std::unique_ptr<ScreenCapture> capture;
    std::unique_ptr<HotKey> hotKey;
    std::unique_ptr<OverlayHold> overlayHold;
};

} // namespace quillcap
