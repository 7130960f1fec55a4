#include "overlay/keymap.h"

namespace quillcap {

int VirtualKeyCode(const QKeyEvent &event) {
    const int key = event.key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 65 + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (event.modifiers() & Qt::KeypadModifier ? 96 : 48) + (key - Qt::Key_0);
    // The main digit row by its place on the keyboard, whatever Shift or the
    // layout makes of it (Shift+1 is "!", AZERTY's unshifted 1 is "&"): X key
    // codes 10 to 19 are the keys 1 to 9 and 0.
    const quint32 scanCode = event.nativeScanCode();
    if (scanCode >= 10 && scanCode <= 19 && !(event.modifiers() & Qt::KeypadModifier))
        return scanCode == 19 ? 48 : 49 + int(scanCode - 10);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: // Qt's name for Shift+Tab
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

int ModifierState(const QKeyEvent &event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    return (modifiers & Qt::ShiftModifier ? kShiftState : 0) |
           (modifiers & Qt::ControlModifier ? kCtrlState : 0) |
           (modifiers & Qt::AltModifier ? kAltState : 0);
}

const KeyBinding *FindKeyBinding(int code, int modifierState) {
    for (const KeyBinding &binding : kKeyMap) {
        if (binding.code != code)
            continue;
        if (binding.modifiers == ModifierRule::ShiftAlone && modifierState != kShiftState)
            return nullptr;
        return &binding;
    }
    return nullptr;
}

} // namespace quillcap
