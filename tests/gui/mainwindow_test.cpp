// The main window's controls and handlers on a real X server, with the
// platform faked.
#include "guifixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

using namespace quillcap;

namespace {

constexpr int kAny = INT_MIN;

QRect placeIn(const QWidget *window, const QWidget *w) {
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

} // namespace

TEST_F(GuiTest, ControlsShowTheDefaultsAndTheirTexts) {
    start();
    EXPECT_EQ(window->windowTitle(), "QuillCap  (0 snaps)");
    EXPECT_EQ(control<QLabel>("lblVersion")->text(), "3.1");
    EXPECT_EQ(control<QComboBox>("cmbFileType")->currentText(), "PNG");
    EXPECT_EQ(control<QComboBox>("cmbFileType")->count(), 5);
    EXPECT_EQ(control<QLineEdit>("txtPrefix")->text(), "Quillcap_");
    EXPECT_EQ(control<QLineEdit>("txtSaveFolder")->text(), path("pictures"));
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), "Quillcap_001.png");
    EXPECT_EQ(control<QLabel>("lblNextNumber")->text(), "001");
    EXPECT_EQ(control("fileBox")->toolTip(), "PNG files in the current target directory");
    EXPECT_TRUE(control<QCheckBox>("chkShowMsg")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("chkPlaySound")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("chkShowMouse")->isChecked());
    EXPECT_EQ(control<QCheckBox>("chkShowInTaskbar")->toolTip(),
              "This option required a restart of QuillCap");
    EXPECT_EQ(control<QLabel>("lblWebAddress")->text(),
              QStringLiteral("More help at ") + QLatin1String(MainWindow::kWebAddress));
    EXPECT_TRUE(messages.warned.isEmpty());
}

TEST_F(GuiTest, ResizingStretchesListAndPreviewAndMovesTheRightAndBottomControls) {
    start();
    QHash<QString, QRect> was;
    for (QWidget *w : window->findChildren<QWidget *>())
        was[w->objectName()] = placeIn(window.get(), w);
    window->resize(window->size() + QSize(150, 10));
    ASSERT_TRUE(waitUntil(
        [&] { return control("picViewer")->size() == was["picViewer"].size() + QSize(150, 10); }));
    // Change of left, top, width and height; kAny where the layout decides.
    const struct {
        const char *name;
        int dx, dy, dw, dh;
    } cases[] = {
        {"picViewer", 0, 0, 150, 10},
        {"fileBox", 0, 0, 0, 10},
        {"txtPrefix", 0, 0, 150, 0},
        {"txtSaveFolder", 0, 0, 150, 0},
        {"Shape1", 0, 0, 150, 0},
        {"lblNextName", 0, 0, 150, 0},
        {"imgCodesBox", 150, 0, 0, 0},
        {"imgSnapNow", 150, 0, 0, 0},
        {"cmbFileType", 150, 0, 0, 0},
        {"Label5", 150, 0, 0, 0},
        {"imgCommandsBox", 150, 10, 0, 0},
        {"Frame3", kAny, 10, kAny, 0},
        {"lblDragFileInfo", kAny, 10, kAny, 0},
        {"lblDragImageInfo", kAny, 10, kAny, 0},
        {"lblVersion", kAny, 10, kAny, 0},
        {"lblWebAddress", kAny, 10, kAny, 0},
        {"Label1", 0, 0, 0, 0},
        {"cmdChangeSaveFolder", 0, 0, 0, 0},
        {"Label3", 0, 0, kAny, 0},
    };
    for (const auto &c : cases) {
        const QRect now = placeIn(window.get(), control(c.name)), &old = was[c.name];
        const int change[] = {now.x() - old.x(), now.y() - old.y(), now.width() - old.width(),
                              now.height() - old.height()};
        const int expected[] = {c.dx, c.dy, c.dw, c.dh};
        const char *what[] = {"left", "top", "width", "height"};
        for (int i = 0; i < 4; ++i) {
            if (expected[i] != kAny) {
                EXPECT_EQ(change[i], expected[i]) << c.name << " " << what[i];
            }
        }
    }
}

TEST_F(GuiTest, TheWindowNeverGetsSmallerThanDesigned) {
    start();
    const QSize designed = window->size();
    EXPECT_GE(designed.width(), MainWindow::kDesignedWidth);
    EXPECT_GE(designed.height(), MainWindow::kDesignedHeight);
    window->resize(designed - QSize(100, 100));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->size(), designed);
}

TEST_F(GuiTest, AnotherTypeChangesTheListAndTheNextNameAtOnce) {
    for (const char *name : {"pictures/a.png", "pictures/b.PNG", "pictures/c.gif",
                             "pictures/Quillcap_004.gif", "pictures/Quillcap_002.png"})
        writeFile(name);
    QDir(path("pictures")).mkdir("folder.png");
    start();
    auto *list = control<QListWidget>("fileBox");
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    EXPECT_EQ(names, (QStringList{"a.png", "b.PNG", "Quillcap_002.png"}))
        << "the pattern ignores letter case; folders are not images";
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), "Quillcap_003.png");

    auto *types = control<QComboBox>("cmbFileType");
    types->setFocus();
    QTest::keyClick(types, Qt::Key_G);
    EXPECT_EQ(state.settings.fileTypeIndex, 3);
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), "Quillcap_005.gif");
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->toolTip(), "GIF files in the current target directory");
}

TEST_F(GuiTest, TypingATemplateRenamesTheNextFileAndPointerMovesKeepItsDateCurrent) {
    start();
    auto *prefix = control<QLineEdit>("txtPrefix");
    prefix->selectAll();
    QTest::keyClicks(prefix, "shot $date_");
    EXPECT_EQ(state.settings.prefix, "shot $date_");
    auto *next = control<QLabel>("lblNextName");
    EXPECT_EQ(next->text(), "shot 2026-03-05_001.png");
    clock.set(QDate(2026, 3, 6));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(control("Label3"), &move);
    EXPECT_EQ(next->text(), "shot 2026-03-06_001.png");
}

TEST_F(GuiTest, FolderPickerAppliesTheChoiceAndACancelFallsBack) {
    start();
    fakes.shell->folderAnswer = path("other");
    QTest::mouseClick(control("cmdChangeSaveFolder"), Qt::LeftButton);
    EXPECT_EQ(fakes.shell->browseTitles, QStringList{"Please select a folder:"});
    EXPECT_EQ(state.settings.saveFolder, path("other"));
    EXPECT_TRUE(messages.warned.isEmpty());

    fakes.shell->folderAnswer.clear();
    QTest::mouseClick(control("cmdChangeSaveFolder"), Qt::LeftButton);
    EXPECT_EQ(messages.warned, QStringList{"Cannot find folder: \r"});
    EXPECT_EQ(state.settings.saveFolder, path("pictures"));
    EXPECT_EQ(control<QLineEdit>("txtSaveFolder")->text(), path("pictures"));
}

TEST_F(GuiTest, WebLabelOpensTheHomePage) {
    start();
    QTest::mouseClick(control("lblWebAddress"), Qt::LeftButton);
    EXPECT_EQ(fakes.shell->openedUrls, QStringList{MainWindow::kWebAddress});
}

TEST_F(GuiTest, TaskbarBoxSaysWhenItTakesEffect) {
    start();
    for (int click = 0; click < 2; ++click)
        QTest::mouseClick(control("chkShowInTaskbar"), Qt::LeftButton);
    EXPECT_EQ(messages.informed,
              QStringList(2, "This will take effect the next time you start QuillCap."));
    EXPECT_EQ(state.settings.showInTaskbar, 0) << "ticked and cleared again";
}

TEST_F(GuiTest, DownKeyTakesTheUserIntoTheImageList) {
    writeFile("pictures/a.png");
    writeFile("pictures/b.png");
    start();
    QTest::keyClick(control("txtPrefix"), Qt::Key_Down);
    auto *list = control<QListWidget>("fileBox");
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(window->focusWidget(), list);
}

TEST_F(GuiTest, HiddenFilesAndFoldersCountAsTakenNames) {
    // A template starting with a dot makes hidden files; a numbered name
    // that is taken would make every save fail.
    writeFile("pictures/.cap_001.png");
    QDir(path("pictures")).mkdir(".cap_002.png");
    start();
    auto *prefix = control<QLineEdit>("txtPrefix");
    prefix->selectAll();
    QTest::keyClicks(prefix, ".cap_");
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), ".cap_003.png");
    EXPECT_EQ(control<QListWidget>("fileBox")->count(), 0) << "the list shows no hidden files";
}
