// The one-off name panel on the overlay (F).
#include "guifixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

using namespace quillcap;

namespace {

enum class Mark { None, Free, Taken };

class FileNamePopUpTest : public GuiTest {
protected:
    CaptureOverlay *overlay = nullptr;

    void SetUp() override { GuiTest::SetUp(), start(); }
    QLineEdit *field() const { return control<QLineEdit>("txtNewFilename", overlay); }
    QCheckBox *newPrefix() const { return control<QCheckBox>("chkNewPrefix", overlay); }
    Mark mark() const {
        const bool free = control("imgOk1", overlay)->isVisible();
        const bool taken = control("imgOk0", overlay)->isVisible();
        EXPECT_FALSE(free && taken) << "at most one mark";
        return taken ? Mark::Taken : free ? Mark::Free : Mark::None;
    }
    bool panelOpen() const { return control("picFilenamePopUp", overlay)->isVisible(); }
    // Opens the overlay by the hot key unless a capture runs, and the panel by F.
    void openPanel() {
        ASSERT_TRUE(flow().CaptureRunning() || (overlay = openOverlay()));
        QTest::keyClick(overlay, Qt::Key_F);
        ASSERT_TRUE(waitFor([&] { return panelOpen(); }));
    }
    void retype(const QString &text) {
        field()->clear();
        QTest::keyClicks(field(), text);
    }
    void tick(bool on) {
        if (newPrefix()->isChecked() != on)
            newPrefix()->click();
    }
    void closeWith(Qt::Key key) {
        QTest::keyClick(field(), key);
        ASSERT_TRUE(waitFor([&] { return !panelOpen(); }));
    }
    void captureAndWait() {
        QTest::keyClick(overlay, Qt::Key_Return);
        ASSERT_TRUE(waitForReturn());
    }
};

} // namespace

TEST_F(FileNamePopUpTest, TheResultingNameAndItsMarkFollowTheTypedText) {
    writeFile("pictures/shot_2026-03-05.png");
    // Typed, as the new template, the resulting name and its mark.
    const std::tuple<const char *, bool, const char *, Mark> rows[] = {
        {"shot_$date", false, "shot_2026-03-05.png", Mark::Taken},
        {"shot_$date", true, "shot_2026-03-05001.png", Mark::Free},
        {"", false, ".png", Mark::None},
    };
    openPanel();
    EXPECT_TRUE(field()->hasFocus());
    EXPECT_EQ(mark(), Mark::None) << "nothing typed yet";
    for (const auto &[typed, asTemplate, temp, marked] : rows) {
        SCOPED_TRACE(std::string(typed) + (asTemplate ? " as template" : ""));
        tick(asTemplate);
        retype(typed);
        EXPECT_EQ(control<QLabel>("lblTempFileName", overlay)->text(), temp);
        EXPECT_EQ(mark(), marked);
    }
}

TEST_F(FileNamePopUpTest, KeysAreTypedNotActedOnAndEachIsHandledOnce) {
    openPanel();
    const CaptureRegion before = overlay->box().cap();
    // D would select the desktop, X abort, Space capture.
    for (const char *typed : {"d", "x", " "}) {
        retype(typed);
        EXPECT_EQ(field()->text(), typed);
        EXPECT_EQ(overlay->box().cap(), before) << typed;
        EXPECT_TRUE(panelOpen()) << typed;
    }
    // Keys the field leaves (Up, F5) must not travel on to the overlay; Tab
    // moves to the check box, which Space then ticks.
    QStringList lines;
    state.log.HardLogging = true;
    state.log.SetViewer([&](const QString &line) { lines << line; });
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_F5, Qt::Key_Tab, Qt::Key_Space}) {
        lines.clear();
        QTest::keyClick(overlay->focusWidget(), key);
        EXPECT_EQ(lines.filter("** CaptureHold KeyDown > ").size(), 1) << "key " << key;
    }
    state.log.HardLogging = false;
    EXPECT_TRUE(newPrefix()->isChecked());
    closeWith(Qt::Key_Escape);
    EXPECT_TRUE(overlay->isVisible()) << "Esc closes the panel, not the overlay";
}

// Ok with the new-template box ticked sets the template, which checks the
// save folder; the folder has gone meanwhile.
TEST_F(FileNamePopUpTest, AMessageBoxDuringTheCaptureIsNotLeftUnderTheOverlay) {
    fakes.shell->folderAnswer = path("other");
    QTest::mouseClick(control("cmdChangeSaveFolder"), Qt::LeftButton);
    openPanel();
    ASSERT_TRUE(QDir(path("other")).removeRecursively());
    bool overlayShown = true;
    messages.whileShown = [&] { overlayShown = overlay->isVisible(); };
    retype("new_");
    tick(true);
    closeWith(Qt::Key_Return);
    EXPECT_EQ(messages.warned.size(), 1) << "the vanished folder is reported";
    EXPECT_FALSE(overlayShown);
    EXPECT_TRUE(waitFor([&] { return overlay->isVisible(); })) << "back after the box";
    messages.whileShown = [] {};
    EXPECT_EQ(control<QLineEdit>("txtPrefix")->text(), "new_");
    EXPECT_TRUE(state.LastOverrideName.isEmpty()) << "no one-off name was set";
    captureAndWait();
    EXPECT_TRUE(QFile::exists(path("pictures/new_001.png")));
}

// A one-off name stays, as typed, for later captures and Esc keeps the one
// Ok gave. A file that appears after its name showed free is kept; only a
// name shown taken is replaced.
TEST_F(FileNamePopUpTest, AOneOffNameStaysAsTypedAndOnlyANameShownTakenIsReplaced) {
    writeFile("pictures/taken.png", "old");
    for (bool shownTaken : {false, true}) {
        const QString typed = shownTaken ? "taken" : "late_$date";
        const QString file = shownTaken ? "pictures/taken.png" : "pictures/late_2026-03-05.png";
        openPanel();
        retype(typed);
        EXPECT_EQ(mark(), shownTaken ? Mark::Taken : Mark::Free) << shownTaken;
        closeWith(Qt::Key_Return);
        openPanel();
        EXPECT_EQ(field()->text(), typed) << "the last name comes back";
        QTest::keyClicks(field(), "x");
        closeWith(Qt::Key_Escape);
        writeFile(file, "old");
        captureAndWait();
        EXPECT_EQ(read(file) == "old", !shownTaken) << shownTaken;
        EXPECT_EQ(state.LastOverrideName, typed) << "the raw text, kept after the capture";
    }
}
