#pragma once

#include <QObject>

class QWidget;

namespace quillcap::x11 {

// Remembers the window-manager states QuillCap wants on its top-level windows
// and writes them into _NET_WM_STATE each time Qt is about to map one.
//
// Needed because a window manager erases _NET_WM_STATE whenever a window is
// withdrawn (EWMH; openbox does), so hiding and showing a window would drop
// them. Qt's own Qt::WindowStaysOnTopHint is not used: toggling it makes Qt
// 6.4 destroy and re-create the native window on the next show, which leaves
// QWidget::winId() naming a window that no longer exists.
class NetWmStateKeeper : public QObject {
public:
    enum class State { Above, SkipTaskbar };

    // Records the wish; it is written into the window's _NET_WM_STATE each
    // time the window is about to be mapped. A window that is mapped already
    // needs RequestNetWmState as well.
    void Set(QWidget *window, State state, bool on);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace quillcap::x11
