// The one-off name panel on the overlay (F): the live resulting name, the
// free/taken marks, Ok and Cancel by key, the new-template check box, and
// which existing files a capture under a one-off name may replace.
#include "guifixture.h"

#include "mainwindow/snapshotflow.h"
#include "overlay/captureoverlay.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace quillcap;

namespace {

enum class Mark { None, Free, Taken };

class FileNamePopUpTest : public GuiTest {
protected:
    CaptureOverlay *overlay = nullptr;

    void SetUp() override {
        GuiTest::SetUp();
        QImage desktop(1920, 1080, QImage::Format_RGB32);
        desktop.fill(qRgb(40, 120, 200));
        fakes.capture->desktop = desktop;
        start();
    }
    SnapshotFlow &flow() { return program->snapshots(); }
    template <class T = QWidget> T *part(const char *name) const {
        T *found = overlay->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit *field() const { return part<QLineEdit>("txtNewFilename"); }
    QString tempName() const { return part<QLabel>("lblTempFileName")->text(); }
    Mark mark() const {
        const bool free = part("imgOk1")->isVisible();
        const bool taken = part("imgOk0")->isVisible();
        EXPECT_FALSE(free && taken) << "at most one mark";
        return taken ? Mark::Taken : free ? Mark::Free : Mark::None;
    }
    bool panelOpen() const { return part("picFilenamePopUp")->isVisible(); }

    // Opens the overlay by the hot key and the panel by F.
    void openPanel() {
        if (!overlay) {
            fakes.hotKey->Press();
            ASSERT_TRUE(
                waitUntil([&] { return flow().overlay() && flow().overlay()->isVisible(); }));
            overlay = flow().overlay();
        }
        QTest::keyClick(overlay, Qt::Key_F);
        ASSERT_TRUE(waitUntil([&] { return panelOpen(); }));
    }
    void retype(const QString &text) {
        field()->clear();
        QTest::keyClicks(field(), text);
    }
    void closeWith(Qt::Key key) {
        QTest::keyClick(field(), key);
        ASSERT_TRUE(waitUntil([&] { return !panelOpen(); }));
    }
    void captureAndWait() {
        QTest::keyClick(overlay, Qt::Key_Return);
        ASSERT_TRUE(waitUntil([&] { return !flow().CaptureRunning(); }));
    }
    QByteArray contents(const QString &name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(FileNamePopUpTest, OpensWithTheFolderTheNextNameAndNoMarkForAnEmptyName) {
    ASSERT_TRUE(state.LastOverrideName.isEmpty());
    openPanel();
    EXPECT_EQ(part<QLabel>("lblSaveFolder")->text(), state.settings.saveFolder);
    EXPECT_EQ(part<QLabel>("lblCurrentFilename")->text(), "Quillcap_001.png");
    EXPECT_EQ(part<QLabel>("lblOverrideExtension")->text(), ".PNG");
    EXPECT_TRUE(part<QLabel>("lblOverrideExtension")->font().bold());
    EXPECT_FALSE(part<QCheckBox>("chkNewPrefix")->isChecked());
    EXPECT_EQ(field()->text(), "");
    EXPECT_TRUE(field()->hasFocus());
    EXPECT_EQ(tempName(), ".png");
    EXPECT_EQ(mark(), Mark::None);
}

TEST_F(FileNamePopUpTest, TheResultingNameAndItsMarkFollowTheTypedText) {
    writeFile("pictures/shot.png");
    writeFile("pictures/report_2026-03-05.png");
    struct Row {
        const char *typed;
        bool newPrefix;
        const char *temp;
        Mark mark;
    };
    const Row rows[] = {
        {"report_$date", false, "report_2026-03-05.png", Mark::Taken},
        {"report_$date", true, "report_2026-03-05001.png", Mark::Free},
        {"shot", false, "shot.png", Mark::Taken},
        {"shop", false, "shop.png", Mark::Free},
        {"shot", true, "shot001.png", Mark::Free},
        {"", false, ".png", Mark::None},
    };
    openPanel();
    auto *check = part<QCheckBox>("chkNewPrefix");
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.typed) + (row.newPrefix ? " as template" : ""));
        if (check->isChecked() != row.newPrefix)
            QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
        ASSERT_EQ(check->isChecked(), row.newPrefix);
        retype(row.typed);
        EXPECT_EQ(field()->text(), row.typed);
        EXPECT_EQ(tempName(), row.temp);
        EXPECT_EQ(mark(), row.mark);
    }
}

TEST_F(FileNamePopUpTest, KeysOtherThanEnterAndEscAreTypedNotActedOn) {
    openPanel();
    const CaptureRegion before = overlay->box().cap();
    // D would select the desktop, S the small box, M monitor 1, X abort,
    // Space capture.
    for (const char *typed : {"d", "s", "m", "x", " "}) {
        SCOPED_TRACE(typed);
        retype(typed);
        EXPECT_EQ(field()->text(), typed);
        const CaptureRegion &cap = overlay->box().cap();
        EXPECT_EQ(QRect(cap.x, cap.y, cap.w, cap.h), QRect(before.x, before.y, before.w, before.h));
        EXPECT_TRUE(panelOpen());
        EXPECT_TRUE(flow().CaptureRunning());
    }
    closeWith(Qt::Key_Escape);
    EXPECT_TRUE(overlay->isVisible()) << "Esc closes the panel, not the overlay";
    EXPECT_TRUE(flow().CaptureRunning());
}

TEST_F(FileNamePopUpTest, EscAfterAnEarlierOkKeepsTheOverrideAndTheLastName) {
    openPanel();
    retype("first_$date");
    closeWith(Qt::Key_Return);
    EXPECT_EQ(state.LastOverrideName, "first_$date") << "the raw text, before expansion";

    openPanel();
    EXPECT_EQ(field()->text(), "first_$date") << "the last name comes back";
    QTest::keyClicks(field(), "x");
    closeWith(Qt::Key_Escape);
    EXPECT_EQ(state.LastOverrideName, "first_$date");

    captureAndWait();
    EXPECT_TRUE(QFile::exists(path("pictures/first_2026-03-05.png")));
    EXPECT_FALSE(QFile::exists(path("pictures/first_2026-03-05x.png")));
    EXPECT_FALSE(QFile::exists(path("pictures/Quillcap_001.png")));
    EXPECT_EQ(state.NumberOfSnaps, 1);
    EXPECT_EQ(state.LastOverrideName, "first_$date") << "kept after the capture";
    EXPECT_TRUE(contents("config/qcapprf.txt").contains("first_$date")) << "and in the preferences";
}

TEST_F(FileNamePopUpTest, OkWithTheNewPrefixBoxSetsTheTemplateForTheNextCapture) {
    writeFile("pictures/report_001.png");
    openPanel();
    retype("report_");
    auto *check = part<QCheckBox>("chkNewPrefix");
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, check->height() / 2));
    EXPECT_EQ(tempName(), "report_002.png");
    closeWith(Qt::Key_Return);
    EXPECT_EQ(state.settings.prefix, "report_");
    EXPECT_EQ(control<QLineEdit>("txtPrefix")->text(), "report_");
    EXPECT_TRUE(state.LastOverrideName.isEmpty()) << "no one-off name was set";

    captureAndWait();
    EXPECT_TRUE(QFile::exists(path("pictures/report_002.png")));
    EXPECT_FALSE(QFile::exists(path("pictures/Quillcap_001.png")));
    EXPECT_EQ(contents("pictures/report_001.png"), QByteArray()) << "left alone";
}

TEST_F(FileNamePopUpTest, AFileThatAppearsAfterTheNameShowedFreeIsNotReplaced) {
    openPanel();
    retype("late");
    EXPECT_EQ(mark(), Mark::Free);
    closeWith(Qt::Key_Return);
    writeFile("pictures/late.png", "old");
    captureAndWait();
    EXPECT_EQ(contents("pictures/late.png"), "old") << "the save takes the failure path";
    EXPECT_EQ(state.NumberOfSnaps, 1) << "the attempt still counts";
}

TEST_F(FileNamePopUpTest, ANameShownTakenIsReplacedByTheCapture) {
    writeFile("pictures/taken.png", "old");
    openPanel();
    retype("taken");
    EXPECT_EQ(mark(), Mark::Taken);
    closeWith(Qt::Key_Return);
    captureAndWait();
    const QImage saved(path("pictures/taken.png"), "PNG");
    EXPECT_FALSE(saved.isNull()) << "replaced by the capture";
    EXPECT_EQ(saved.pixel(10, 10), fakes.capture->desktop.pixel(10, 10));
    EXPECT_EQ(state.NumberOfSnaps, 1);
}
