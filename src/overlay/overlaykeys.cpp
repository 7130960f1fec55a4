#include "overlay/overlaykeys.h"

#include "overlay/overlayload.h"

namespace quillcap {

KeyCommand OverlayKeys::KeyDown(const QKeyEvent &event) {
    const int code = VirtualKeyCode(event);
    // The code's own character follows, whatever it is, as the log always had.
    m_state.log.WriteLogLazy([code] {
        return QStringLiteral("** CaptureHold KeyDown > ") + QString::number(code) +
               QStringLiteral(" > ") + QChar(code);
    });
    if (m_popUpOpen) {
        if (code == 27)
            return KeyCommand::PopUpCancel;
        if (code == 13)
            return KeyCommand::PopUpOk;
        return KeyCommand::None;
    }
    const KeyBinding *binding = FindKeyBinding(code, ModifierState(event));
    if (!binding)
        return KeyCommand::None;
    switch (binding->command) {
    case KeyCommand::SelectDesktop:
        SelectDesktop();
        break;
    case KeyCommand::SelectActive:
        SelectActive();
        break;
    case KeyCommand::SelectSmallBox:
        SelectSmallBox();
        break;
    case KeyCommand::SelectMonitor:
        SelectMonitor(binding->arg1);
        break;
    case KeyCommand::SelectPreviousArea:
        SelectPreviousArea();
        break;
    case KeyCommand::SelectNextPreviousArea:
        SelectNextPreviousArea();
        break;
    case KeyCommand::SelectSizePreset:
        SelectSizePreset(binding->arg1, binding->arg2);
        break;
    default:
        break; // the window's part
    }
    return binding->command;
}

void OverlayKeys::select(const CaptureRegion &region) {
    m_box.setCap(region);
    m_box.ResetCapBox();
}

void OverlayKeys::SelectDesktop() {
    m_state.log.WriteLog(QStringLiteral("Selecting Desktop"));
    select({0, 0, m_box.desk().width(), m_box.desk().height()});
}

void OverlayKeys::SelectActive() {
    m_state.log.WriteLog(QStringLiteral("Selecting the active window area"));
    select({m_active.x(), m_active.y(), m_active.width(), m_active.height()});
}

void OverlayKeys::SelectMonitor(int n) {
    const MonitorTable &table = m_state.monitorTable;
    select({table.MParm(n, 0) - m_deskOrigin.x(), table.MParm(n, 1) - m_deskOrigin.y(),
            table.MParm(n, 2), table.MParm(n, 3)});
}

void OverlayKeys::SelectSmallBox() {
    select(DefaultCapBox(m_box.desk()));
}

void OverlayKeys::SelectSizePreset(qint32 preW, qint32 preH) {
    CaptureRegion region = m_box.cap();
    region.w = preW;
    region.h = preH;
    select(region);
}

void OverlayKeys::selectRecent(int step) {
    const QList<CaptureRegion> &regions = m_state.recentRegions;
    if (regions.isEmpty())
        return;
    const int count = static_cast<int>(regions.size());
    int index = m_prevAreaIndex + step;
    if (index < 0)
        index = count - 1;
    else if (index > count - 1)
        index = 0;
    m_prevAreaIndex = index;
    select(regions[index]);
}

void OverlayKeys::SelectPreviousArea() {
    selectRecent(-1);
}

void OverlayKeys::SelectNextPreviousArea() {
    selectRecent(+1);
}

} // namespace quillcap
