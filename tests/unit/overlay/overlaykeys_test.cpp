#include "overlay/overlaykeys.h"

#include <QInputDevice>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quillcap {
namespace {

constexpr CaptureRegion kStart{100, 50, 200, 100};

QKeyEvent press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint32 scanCode = 0) {
    // Our own device, never destroyed: without an application Qt's default one
    // is never freed, and destroying one at exit races Qt's own statics.
    static const QInputDevice *keyboard =
        new QInputDevice(u"keyboard"_s, 1, QInputDevice::DeviceType::Keyboard);
    return QKeyEvent(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, QString(), false, 1,
                     keyboard);
}

struct Keys : ::testing::Test {
    Keys() {
        // Monitor 2 is left of the primary one: the overlay starts at -1280.
        for (int c = 0; c < 4; ++c) {
            state.monitorTable.Set(1, c, std::array{0, 0, 1920, 1080}[c]);
            state.monitorTable.Set(2, c, std::array{-1280, 0, 1280, 1024}[c]);
        }
        box.setCap(kStart);
    }
    AppState state;
    CaptureBox box{state.log, QSize(4000, 1080)};
    OverlayKeys keys{box, state, QPoint(-1280, 0), QRect(10, 20, 300, 200)};
};

TEST(KeyMap, KeypadDigitRowByScanCodeAndUnmappedKeys) {
    EXPECT_EQ(VirtualKeyCode(press(Qt::Key_0, Qt::KeypadModifier)), 96);
    EXPECT_EQ(VirtualKeyCode(press(Qt::Key_9, Qt::KeypadModifier)), 105);
    EXPECT_EQ(VirtualKeyCode(press(Qt::Key_Home)), 0);
    // The digit row by its scan code: Shift+1 reads "!", AZERTY's 0 reads "a grave".
    EXPECT_EQ(VirtualKeyCode(press(Qt::Key_Exclam, Qt::ShiftModifier, 10)), 49);
    EXPECT_EQ(VirtualKeyCode(press(Qt::Key_Agrave, Qt::NoModifier, 19)), 48);
    EXPECT_EQ(ModifierState(press(Qt::Key_E, Qt::ShiftModifier | Qt::ControlModifier |
                                                 Qt::AltModifier | Qt::KeypadModifier)),
              7);
}

TEST_F(Keys, TheMapSelectsAreasAndHandsTheRestToTheWindow) {
    const auto S = Qt::ShiftModifier;
    const std::tuple<int, Qt::KeyboardModifiers, KeyCommand, CaptureRegion> cases[] = {
        {Qt::Key_D, Qt::ControlModifier, KeyCommand::SelectDesktop, {0, 0, 4000, 1080}},
        {Qt::Key_A, Qt::NoModifier, KeyCommand::SelectActive, {10, 20, 300, 200}},
        {Qt::Key_1, Qt::AltModifier, KeyCommand::SelectMonitor, {1280, 0, 1920, 1080}},
        {Qt::Key_2, Qt::NoModifier, KeyCommand::SelectMonitor, {0, 0, 1280, 1024}},
        {Qt::Key_3, Qt::NoModifier, KeyCommand::SelectMonitor, {1280, 0, 0, 0}}, // none
        {Qt::Key_R, S, KeyCommand::SelectSmallBox, {1600, 432, 800, 216}},
        {Qt::Key_E, S, KeyCommand::SelectSizePreset, {100, 50, 640, 480}},
        {Qt::Key_E, Qt::NoModifier, KeyCommand::None, kStart},
        {Qt::Key_E, S | Qt::ControlModifier, KeyCommand::None, kStart},
        {Qt::Key_W, S | Qt::AltModifier, KeyCommand::None, kStart},
        {Qt::Key_1, Qt::KeypadModifier, KeyCommand::None, kStart},
        {Qt::Key_Escape, Qt::NoModifier, KeyCommand::Abort, kStart},
        {Qt::Key_Enter, Qt::KeypadModifier, KeyCommand::Capture, kStart},
        {Qt::Key_C, Qt::NoModifier, KeyCommand::CaptureToClipboard, kStart},
        {Qt::Key_F, Qt::NoModifier, KeyCommand::FileNamePopUp, kStart},
    };
    for (const auto &[key, modifiers, command, record] : cases) {
        box.setCap(kStart);
        EXPECT_EQ(keys.KeyDown(press(key, modifiers)), command) << key;
        EXPECT_EQ(box.cap(), record) << key;
    }
}

TEST_F(Keys, ArrowsWalkTheRecentRegionsAndWrap) {
    keys.KeyDown(press(Qt::Key_Left));
    EXPECT_EQ(box.cap(), kStart) << "no regions: nothing happens";
    const CaptureRegion r1{1, 1, 10, 10}, r2{2, 2, 20, 20}, r3{3, 3, 30, 30};
    state.recentRegions = {r1, r2, r3};
    keys.SelectPreviousArea(); // as the overlay opens
    EXPECT_EQ(box.cap(), r3);
    const int left = Qt::Key_Left, right = Qt::Key_Right;
    for (auto [key, region] :
         {std::pair{left, r2}, {left, r1}, {left, r3}, {right, r1}, {right, r2}}) {
        keys.KeyDown(press(key));
        EXPECT_EQ(box.cap(), region) << region.x;
    }
}

} // namespace
} // namespace quillcap
