// The one-off name panel on the overlay (F): the live resulting name, the
// free/taken marks, Ok and Cancel by key, the new-template check box, and
// which existing files a capture under a one-off name may replace.
#include "guifixture.h"

#include "overlay/captureoverlay.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

using namespace quillcap;

namespace {

enum class Mark { None, Free, Taken };

class FileNamePopUpTest : public GuiTest {
protected:
    CaptureOverlay *overlay = nullptr;

    void SetUp() override {
        GuiTest::SetUp();
        start();
    }
    template <class T = QWidget> T *part(const char *name) const {
        T *found = overlay->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit *field() const { return part<QLineEdit>("txtNewFilename"); }
    QCheckBox *newPrefix() const { return part<QCheckBox>("chkNewPrefix"); }
    QString tempName() const { return part<QLabel>("lblTempFileName")->text(); }
    Mark mark() const {
        const bool free = part("imgOk1")->isVisible(), taken = part("imgOk0")->isVisible();
        EXPECT_FALSE(free && taken) << "at most one mark";
        return taken ? Mark::Taken : free ? Mark::Free : Mark::None;
    }
    bool panelOpen() const { return part("picFilenamePopUp")->isVisible(); }
    // Opens the overlay by the hot key (once) and the panel by F.
    void openPanel() {
        if (!overlay) {
            ASSERT_NE(overlay = openOverlay(), nullptr);
        }
        QTest::keyClick(overlay, Qt::Key_F);
        ASSERT_TRUE(waitFor([&] { return panelOpen(); }));
    }
    void retype(const QString &text) {
        field()->clear();
        QTest::keyClicks(field(), text);
    }
    void tick(bool on) {
        if (newPrefix()->isChecked() != on)
            QTest::mouseClick(newPrefix(), Qt::LeftButton, {},
                              QPoint(5, newPrefix()->height() / 2));
        ASSERT_EQ(newPrefix()->isChecked(), on);
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
    writeFile("pictures/shot.png");
    writeFile("pictures/report_2026-03-05.png");
    // Typed, as the new template, the resulting name and its mark.
    const std::tuple<const char *, bool, const char *, Mark> rows[] = {
        {"report_$date", false, "report_2026-03-05.png", Mark::Taken},
        {"report_$date", true, "report_2026-03-05001.png", Mark::Free},
        {"shot", false, "shot.png", Mark::Taken},
        {"shop", false, "shop.png", Mark::Free},
        {"shot", true, "shot001.png", Mark::Free},
        {"", false, ".png", Mark::None},
    };
    openPanel();
    EXPECT_EQ(part<QLabel>("lblSaveFolder")->text(), state.settings.saveFolder);
    EXPECT_EQ(part<QLabel>("lblCurrentFilename")->text(), "Quillcap_001.png");
    EXPECT_TRUE(field()->hasFocus());
    EXPECT_EQ(mark(), Mark::None) << "nothing typed yet";
    for (const auto &[typed, asTemplate, temp, marked] : rows) {
        SCOPED_TRACE(std::string(typed) + (asTemplate ? " as template" : ""));
        tick(asTemplate);
        retype(typed);
        EXPECT_EQ(tempName(), temp);
        EXPECT_EQ(mark(), marked);
    }
}

TEST_F(FileNamePopUpTest, KeysAreTypedNotActedOnAndEachIsHandledOnce) {
    openPanel();
    const CaptureRegion before = overlay->box().cap();
    // D would select the desktop, X abort, Space capture.
    for (const char *typed : {"d", "x", " "}) {
        SCOPED_TRACE(typed);
        retype(typed);
        EXPECT_EQ(field()->text(), typed);
        EXPECT_EQ(overlay->box().cap(), before);
        EXPECT_TRUE(panelOpen());
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
    EXPECT_TRUE(flow().CaptureRunning());
}

TEST_F(FileNamePopUpTest, EscAfterAnEarlierOkKeepsTheOneOffName) {
    openPanel();
    retype("first_$date");
    closeWith(Qt::Key_Return);
    EXPECT_EQ(state.LastOverrideName, "first_$date") << "the raw text, before expansion";
    openPanel();
    EXPECT_EQ(field()->text(), "first_$date") << "the last name comes back";
    QTest::keyClicks(field(), "x");
    closeWith(Qt::Key_Escape);
    captureAndWait();
    EXPECT_EQ(QDir(path("pictures")).entryList(QDir::Files), QStringList{"first_2026-03-05.png"});
    EXPECT_EQ(state.NumberOfSnaps, 1);
    EXPECT_EQ(state.LastOverrideName, "first_$date") << "kept after the capture";
}

TEST_F(FileNamePopUpTest, OkWithTheNewPrefixBoxSetsTheTemplateForTheNextCapture) {
    writeFile("pictures/report_001.png");
    openPanel();
    retype("report_");
    tick(true);
    EXPECT_EQ(tempName(), "report_002.png");
    closeWith(Qt::Key_Return);
    EXPECT_EQ(control<QLineEdit>("txtPrefix")->text(), "report_");
    EXPECT_TRUE(state.LastOverrideName.isEmpty()) << "no one-off name was set";
    captureAndWait();
    EXPECT_TRUE(QFile::exists(path("pictures/report_002.png")));
    EXPECT_EQ(read("pictures/report_001.png"), QByteArray()) << "left alone";
}

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
    QTest::keyClick(overlay, Qt::Key_Escape);
    ASSERT_TRUE(waitForReturn());
}

TEST_F(FileNamePopUpTest, OnlyANameShownTakenIsReplaced) {
    // A file that appears after its name showed free is kept.
    for (bool shownTaken : {false, true}) {
        SCOPED_TRACE(shownTaken ? "shown taken" : "shown free");
        const QString name = shownTaken ? "taken" : "late", file = "pictures/" + name + ".png";
        if (shownTaken)
            writeFile(file, "old");
        overlay = nullptr;
        openPanel();
        retype(name);
        EXPECT_EQ(mark(), shownTaken ? Mark::Taken : Mark::Free);
        closeWith(Qt::Key_Return);
        writeFile(file, "old");
        captureAndWait();
        EXPECT_EQ(read(file) == "old", !shownTaken);
    }
}
