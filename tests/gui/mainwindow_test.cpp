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

TEST_F(GuiTest, WiderWindowStretchesFieldsAndKeepsRightSideControlsToTheRight) {
    start();
    const QSize before = window->size();
    const char *stretch[] = {"picViewer", "txtPrefix", "txtSaveFolder"};
    const char *right[] = {"imgCodesBox", "imgCommandsBox", "imgSnapNow", "cmbFileType", "Label5"};
    const char *still[] = {"fileBox", "Label1", "cmdChangeSaveFolder", "Label3"};
    QHash<QString, QRect> was;
    for (QWidget *w : window->findChildren<QWidget *>())
        was[w->objectName()] = placeIn(window.get(), w);

    window->resize(before + QSize(150, 0));
    ASSERT_TRUE(waitUntil([&] {
        return control("picViewer")->width() == was["picViewer"].width() + 150;
    })) << "the preview takes the whole extra width";
    for (const char *name : stretch) {
        const QRect now = placeIn(window.get(), control(name));
        EXPECT_EQ(now.width(), was[name].width() + 150) << name;
        EXPECT_EQ(now.left(), was[name].left()) << name;
    }
    for (const char *name : right) {
        const QRect now = placeIn(window.get(), control(name));
        EXPECT_EQ(now.left(), was[name].left() + 150) << name;
        EXPECT_EQ(now.top(), was[name].top()) << name;
    }
    for (const char *name : still)
        EXPECT_EQ(placeIn(window.get(), control(name)).topLeft(), was[name].topLeft()) << name;
    EXPECT_EQ(control("fileBox")->size(), was["fileBox"].size());
}

TEST_F(GuiTest, TallerWindowGrowsListAndPreviewAndLowersTheBottomControls) {
    start();
    const QSize before = window->size();
    QHash<QString, QRect> was;
    for (QWidget *w : window->findChildren<QWidget *>())
        was[w->objectName()] = placeIn(window.get(), w);

    window->resize(before + QSize(0, 10));
    ASSERT_TRUE(waitUntil([&] { return control("Frame3")->y() == was["Frame3"].y() + 10; }));
    for (const char *name : {"lblDragFileInfo", "lblDragImageInfo", "imgCommandsBox", "Frame3",
                             "lblVersion", "lblWebAddress"}) {
        EXPECT_EQ(placeIn(window.get(), control(name)), was[name].translated(0, 10)) << name;
    }
    for (const char *name : {"picViewer", "fileBox"})
        EXPECT_EQ(control(name)->height(), was[name].height() + 10) << name;
    for (const char *name : {"imgCodesBox", "imgSnapNow", "txtPrefix", "Shape1"})
        EXPECT_EQ(placeIn(window.get(), control(name)), was[name]) << name;
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

TEST_F(GuiTest, TypingATemplateRenamesTheNextFile) {
    start();
    auto *prefix = control<QLineEdit>("txtPrefix");
    prefix->selectAll();
    QTest::keyClicks(prefix, "shot $yyyy-");
    EXPECT_EQ(state.settings.prefix, "shot $yyyy-");
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), "shot 2026-001.png");
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

TEST_F(GuiTest, PointerMovesKeepDateCodesCurrent) {
    state.settings.prefix = "$date_";
    writeFile("config/qcapprf.txt", "PREFIX\r\n:$date_:\r\n");
    start();
    auto *next = control<QLabel>("lblNextName");
    EXPECT_EQ(next->text(), "2026-03-05_001.png");
    clock.set(QDate(2026, 3, 6));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(control("Label3"), &move);
    EXPECT_EQ(next->text(), "2026-03-06_001.png");
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
