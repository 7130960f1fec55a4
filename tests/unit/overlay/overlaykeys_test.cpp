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
        state.log.HardLogging = true;
        state.log.SetViewer([this](const QString &line) { lines << line; });
        // A monitor left of the primary one: the overlay starts at -1280.
        const std::array<std::array<qint32, 4>, 3> rows = {
            {{0, 0, 1920, 1080}, {-1280, 0, 1280, 1024}, {1920, 0, 800, 600}}};
        for (int n = 1; n <= 3; ++n)
            for (int c = 0; c < 4; ++c)
                state.monitorTable.Set(n, c, rows[n - 1][c]);
        box.setCap(kStart);
    }
    AppState state;
    QStringList lines;
    CaptureBox box{state.log, QSize(4000, 1080)};
    OverlayKeys keys{box, state, QPoint(-1280, 0), QRect(10, 20, 300, 200)};
};

TEST(KeyMap, QtKeysBecomeWindowsKeyCodes) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        int code;
    } cases[] = {
        {Qt::Key_A, Qt::NoModifier, 65},         {Qt::Key_Z, Qt::ShiftModifier, 90},
        {Qt::Key_0, Qt::NoModifier, 48},         {Qt::Key_9, Qt::AltModifier, 57},
        {Qt::Key_0, Qt::KeypadModifier, 96},     {Qt::Key_9, Qt::KeypadModifier, 105},
        {Qt::Key_Backspace, Qt::NoModifier, 8},  {Qt::Key_Backtab, Qt::ShiftModifier, 9},
        {Qt::Key_Enter, Qt::KeypadModifier, 13}, {Qt::Key_Control, Qt::ControlModifier, 17},
        {Qt::Key_Alt, Qt::AltModifier, 18},      {Qt::Key_Escape, Qt::NoModifier, 27},
        {Qt::Key_Space, Qt::NoModifier, 32},     {Qt::Key_Left, Qt::KeypadModifier, 37},
        {Qt::Key_Down, Qt::NoModifier, 40},      {Qt::Key_Delete, Qt::NoModifier, 46},
        {Qt::Key_F1, Qt::NoModifier, 112},       {Qt::Key_F12, Qt::NoModifier, 123},
        {Qt::Key_Home, Qt::NoModifier, 0},       {Qt::Key_Exclam, Qt::ShiftModifier, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(VirtualKeyCode(press(c.key, c.modifiers)), c.code) << c.key;
    // The digit row by its key code: Shift+1 reads "!", AZERTY's 0 reads "a grave".
    EXPECT_EQ(
        VirtualKeyCode(QKeyEvent(QEvent::KeyPress, Qt::Key_Exclam, Qt::ShiftModifier, 10, 0, 0)),
        49);
    EXPECT_EQ(VirtualKeyCode(QKeyEvent(QEvent::KeyPress, Qt::Key_Agrave, Qt::NoModifier, 19, 0, 0)),
              48);
    EXPECT_EQ(ModifierState(press(Qt::Key_E, Qt::ShiftModifier | Qt::ControlModifier |
                                                 Qt::AltModifier | Qt::KeypadModifier)),
              7);
}

TEST_F(Keys, TheMapSelectsAreasAndHandsTheRestToTheWindow) {
    const auto S = Qt::ShiftModifier;
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        KeyCommand command;
        CaptureRegion record;
    } cases[] = {
        {Qt::Key_D, Qt::ControlModifier, KeyCommand::SelectDesktop, {0, 0, 4000, 1080}},
        {Qt::Key_A, Qt::NoModifier, KeyCommand::SelectActive, {10, 20, 300, 200}},
        {Qt::Key_1, Qt::AltModifier, KeyCommand::SelectMonitor, {1280, 0, 1920, 1080}},
        {Qt::Key_2, Qt::NoModifier, KeyCommand::SelectMonitor, {0, 0, 1280, 1024}},
        {Qt::Key_3, Qt::NoModifier, KeyCommand::SelectMonitor, {3200, 0, 800, 600}},
        {Qt::Key_4, Qt::NoModifier, KeyCommand::SelectMonitor, {1280, 0, 0, 0}},
        {Qt::Key_R, S, KeyCommand::SelectSmallBox, {1600, 432, 800, 216}},
        {Qt::Key_E, S, KeyCommand::SelectSizePreset, {100, 50, 640, 480}},
        {Qt::Key_H, S, KeyCommand::SelectSizePreset, {100, 50, 1280, 960}},
        {Qt::Key_W, S, KeyCommand::SelectSizePreset, {100, 50, 854, 480}},
        {Qt::Key_E, Qt::NoModifier, KeyCommand::None, kStart},
        {Qt::Key_E, S | Qt::ControlModifier, KeyCommand::None, kStart},
        {Qt::Key_W, S | Qt::AltModifier, KeyCommand::None, kStart},
        {Qt::Key_1, Qt::KeypadModifier, KeyCommand::None, kStart},
        {Qt::Key_Up, Qt::NoModifier, KeyCommand::None, kStart},
        {Qt::Key_X, Qt::NoModifier, KeyCommand::Abort, kStart},
        {Qt::Key_Escape, Qt::NoModifier, KeyCommand::Abort, kStart},
        {Qt::Key_Enter, Qt::KeypadModifier, KeyCommand::Capture, kStart},
        {Qt::Key_Space, Qt::NoModifier, KeyCommand::Capture, kStart},
        {Qt::Key_C, Qt::NoModifier, KeyCommand::CaptureToClipboard, kStart},
        {Qt::Key_F, Qt::NoModifier, KeyCommand::FileNamePopUp, kStart},
        {Qt::Key_M, Qt::NoModifier, KeyCommand::Movie, kStart},
    };
    for (const auto &c : cases) {
        box.setCap(kStart);
        lines.clear();
        EXPECT_EQ(keys.KeyDown(press(c.key, c.modifiers)), c.command) << c.key;
        EXPECT_EQ(box.cap(), c.record) << c.key;
        EXPECT_TRUE(lines.first().startsWith(u"** CaptureHold KeyDown > "_s)) << c.key;
    }
}

TEST_F(Keys, EveryKeyLogsItsCodeAndCharacterFirst) {
    keys.KeyDown(press(Qt::Key_Shift, Qt::ShiftModifier));
    keys.KeyDown(press(Qt::Key_D));
    EXPECT_EQ(lines, (QStringList{u"** CaptureHold KeyDown > 16 > \x10"_s,
                                  u"** CaptureHold KeyDown > 68 > D"_s, u"Selecting Desktop"_s,
                                  u"Resetting Capturebox to 0,0,4000,1080"_s}));
}

TEST_F(Keys, WhileThePopUpIsOpenOnlyEscAndEnterAct) {
    keys.setPopUpOpen(true);
    EXPECT_EQ(keys.KeyDown(press(Qt::Key_Escape)), KeyCommand::PopUpCancel);
    EXPECT_EQ(keys.KeyDown(press(Qt::Key_Return)), KeyCommand::PopUpOk);
    EXPECT_EQ(keys.KeyDown(press(Qt::Key_D)), KeyCommand::None);
    EXPECT_EQ(box.cap(), kStart);
    EXPECT_EQ(lines.size(), 3);
}

TEST_F(Keys, ArrowsWalkTheRecentRegionsAndWrap) {
    keys.KeyDown(press(Qt::Key_Left));
    EXPECT_EQ(keys.PrevAreaIndex(), 0) << "no regions: nothing happens";
    EXPECT_EQ(box.cap(), kStart);

    const CaptureRegion r1{1, 1, 10, 10}, r2{2, 2, 20, 20}, r3{3, 3, 30, 30};
    state.recentRegions = {r1, r2, r3};
    keys.SelectPreviousArea(); // as the overlay opens
    EXPECT_EQ(box.cap(), r3);
    const struct {
        int key;
        CaptureRegion record;
    } steps[] = {{Qt::Key_Left, r2},
                 {Qt::Key_Left, r1},
                 {Qt::Key_Left, r3},
                 {Qt::Key_Right, r1},
                 {Qt::Key_Right, r2}};
    for (const auto &s : steps) {
        keys.KeyDown(press(s.key));
        EXPECT_EQ(box.cap(), s.record) << s.record.x;
    }
}

TEST(SmallBox, HalvesRoundToEven) {
    AppState state;
    CaptureBox box{state.log, QSize(1282, 1024)};
    OverlayKeys keys{box, state, QPoint(), QRect()};
    keys.KeyDown(press(Qt::Key_R));
    EXPECT_EQ(box.cap(), (CaptureRegion{513, 410, 256, 205}));
    EXPECT_EQ(box.shown(), QRect(513, 410, 256, 205));
}

} // namespace
} // namespace quillcap
