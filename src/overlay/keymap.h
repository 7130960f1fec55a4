#pragma once

#include <QKeyEvent>
#include <array>

namespace quillcap {

// What a key press on the overlay asks for. Selections are carried out by
// OverlayKeys itself; the window carries out the others.
enum class KeyCommand {
    None,
    Abort,                  // X, Esc: report "xxxx" and close the overlay
    Capture,                // Enter, Space
    CaptureToClipboard,     // C: capture with the clipboard flag set
    FileNamePopUp,          // F
    Movie,                  // M
    PopUpCancel,            // Esc while the file-name pop-up is open
    PopUpOk,                // Enter while the file-name pop-up is open
    SelectDesktop,          // D
    SelectActive,           // A
    SelectSmallBox,         // R
    SelectMonitor,          // 1-4 (arg1 = monitor)
    SelectPreviousArea,     // Left
    SelectNextPreviousArea, // Right
    SelectSizePreset,       // Shift+E/H/W (arg1 x arg2)
};

// Modifier state as the key map reads it, added together.
inline constexpr int kShiftState = 1;
inline constexpr int kCtrlState = 2;
inline constexpr int kAltState = 4;

enum class ModifierRule { Any, ShiftAlone };

struct KeyBinding {
    int code; // Windows virtual-key code
    ModifierRule modifiers;
    KeyCommand command;
    int arg1 = 0;
    int arg2 = 0;
};

// The overlay's key map; keys not listed do nothing.
inline constexpr std::array<KeyBinding, 19> kKeyMap = {{
    {88, ModifierRule::Any, KeyCommand::Abort},
    {68, ModifierRule::Any, KeyCommand::SelectDesktop},
    {70, ModifierRule::Any, KeyCommand::FileNamePopUp},
    {65, ModifierRule::Any, KeyCommand::SelectActive},
    {67, ModifierRule::Any, KeyCommand::CaptureToClipboard},
    {82, ModifierRule::Any, KeyCommand::SelectSmallBox},
    {27, ModifierRule::Any, KeyCommand::Abort},
    {49, ModifierRule::Any, KeyCommand::SelectMonitor, 1},
    {50, ModifierRule::Any, KeyCommand::SelectMonitor, 2},
    {51, ModifierRule::Any, KeyCommand::SelectMonitor, 3},
    {52, ModifierRule::Any, KeyCommand::SelectMonitor, 4},
    {37, ModifierRule::Any, KeyCommand::SelectPreviousArea},
    {39, ModifierRule::Any, KeyCommand::SelectNextPreviousArea},
    {13, ModifierRule::Any, KeyCommand::Capture},
    {32, ModifierRule::Any, KeyCommand::Capture},
    {77, ModifierRule::Any, KeyCommand::Movie},
    {69, ModifierRule::ShiftAlone, KeyCommand::SelectSizePreset, 640, 480},
    {72, ModifierRule::ShiftAlone, KeyCommand::SelectSizePreset, 1280, 960},
    {87, ModifierRule::ShiftAlone, KeyCommand::SelectSizePreset, 854, 480},
}};

// The Windows virtual-key code of a Qt key: A-Z 65-90, main-row digits 48-57,
// keypad digits 96-105, F1-F12 112-123, a few named keys; any other key 0.
int VirtualKeyCode(const QKeyEvent &event);
// Shift 1 + Ctrl 2 + Alt 4.
int ModifierState(const QKeyEvent &event);
// The binding for the code and modifier state, or null.
const KeyBinding *FindKeyBinding(int code, int modifierState);

} // namespace quillcap
