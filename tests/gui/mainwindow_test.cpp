// The main window's controls and handlers on a real X server, with the
// platform faked.
#include "guifixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>

using namespace quillcap;

TEST_F(GuiTest, ControlsShowTheDefaults) {
    start();
    EXPECT_EQ(window.windowTitle(), "QuillCap  (0 snaps)");
    EXPECT_EQ(control<QComboBox>("cmbFileType")->currentText(), "PNG");
    EXPECT_EQ(control<QLineEdit>("txtPrefix")->text(), "Quillcap_");
    EXPECT_EQ(control<QLineEdit>("txtSaveFolder")->text(), path("pictures"));
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), "Quillcap_001.png");
    EXPECT_EQ(control<QLabel>("lblNextNumber")->text(), "001");
    EXPECT_TRUE(control<QCheckBox>("chkShowMsg")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("chkPlaySound")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("chkShowMouse")->isChecked());
    EXPECT_EQ(state.SoundFilePath, path("program/capture.wav"));
}

TEST_F(GuiTest, ResizingStretchesAndMovesEachKindOfControlButNeverShrinksTheWindow) {
    start();
    const QSize designed = window.size();
    window.resize(designed - QSize(100, 100));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.size(), designed);
    const auto place = [&](const QString &name) {
        const QWidget *w = control(qPrintable(name));
        return QRect(w->mapTo(&window, QPoint()), w->size());
    };
    // Moved by dx, dy and grown by dw, dh.
    const std::tuple<QString, int, int, int, int> cases[] = {{"picViewer", 0, 0, 150, 10},
                                                             {"txtPrefix", 0, 0, 150, 0},
                                                             {"cmbFileType", 150, 0, 0, 0},
                                                             {"cmdChangeSaveFolder", 0, 0, 0, 0}};
    QHash<QString, QRect> before;
    for (const auto &[name, dx, dy, dw, dh] : cases)
        before[name] = place(name);
    const int versionTop = place("lblVersion").top();
    window.resize(designed + QSize(150, 10));
    ASSERT_TRUE(
        waitFor([&] { return place("picViewer").height() == before["picViewer"].height() + 10; }));
    for (const auto &[name, dx, dy, dw, dh] : cases)
        EXPECT_EQ(place(name), before[name].translated(dx, dy).adjusted(0, 0, dw, dh))
            << qPrintable(name);
    EXPECT_EQ(place("lblVersion").top(), versionTop + 10) << "the bottom row moves down";
}

TEST_F(GuiTest, AnotherTypeChangesTheListAndTheNextNameAtOnce) {
    for (const char *name : {"a.png", "b.PNG", "c.gif", "Quillcap_004.gif", "Quillcap_002.png"})
        writeFile(QStringLiteral("pictures/") + name);
    QDir(path("pictures")).mkdir("folder.png");
    start();
    auto *list = control<QListWidget>("fileBox");
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    EXPECT_EQ(names, (QStringList{"a.png", "b.PNG", "Quillcap_002.png"}))
        << "the pattern ignores letter case; folders are not images";
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), "Quillcap_003.png");
    QTest::keyClick(control("txtPrefix"), Qt::Key_Down);
    EXPECT_EQ(window.focusWidget(), list) << "Down goes into the list";
    EXPECT_EQ(list->currentRow(), 0);
    control("cmbFileType")->setFocus();
    QTest::keyClick(control("cmbFileType"), Qt::Key_G);
    EXPECT_EQ(state.settings.fileTypeIndex, 3);
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), "Quillcap_005.gif");
    EXPECT_EQ(list->count(), 2);
}

TEST_F(GuiTest, TypingATemplateRenamesTheNextFileAndPointerMovesKeepItsDateCurrent) {
    QDir(path("pictures")).mkdir("shot 2026-03-05_001.png"); // a folder takes a name too
    start();
    auto *prefix = control<QLineEdit>("txtPrefix");
    prefix->selectAll();
    QTest::keyClicks(prefix, ".shot $date_");
    EXPECT_EQ(state.settings.prefix, ".shot $date_");
    auto *next = control<QLabel>("lblNextName");
    EXPECT_EQ(next->text(), "shot 2026-03-05_002.png") << "never a hidden name";
    clock.set(QDate(2026, 3, 6));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(control("Label3"), &move);
    EXPECT_EQ(next->text(), "shot 2026-03-06_001.png");
}

TEST_F(GuiTest, FolderPickerOpensAtTheSaveFolderAndCancelChangesNothing) {
    start();
    fakes.shell->folderAnswer = path("other");
    QTest::mouseClick(control("cmdChangeSaveFolder"), Qt::LeftButton);
    fakes.shell->folderAnswer.clear();
    QTest::mouseClick(control("cmdChangeSaveFolder"), Qt::LeftButton);
    EXPECT_EQ(fakes.shell->browseStartFolders, (QStringList{path("pictures"), path("other")}));
    EXPECT_EQ(state.settings.saveFolder, path("other"));
    EXPECT_EQ(control<QLineEdit>("txtSaveFolder")->text(), path("other"));
    EXPECT_TRUE(messages.warned.isEmpty());
}

TEST_F(GuiTest, AFolderThatIsAFileIsRefusedAtOnceTypedOrPicked) {
    writeFile("a-file");
    start();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, 20000));
    auto *field = control<QLineEdit>("txtSaveFolder");
    // A real box takes the focus from the field while it is up.
    messages.whileShown = [] {
        if (QApplication::focusWidget())
            QApplication::focusWidget()->clearFocus();
    };
    for (bool typed : {true, false}) {
        SCOPED_TRACE(typed ? "typed" : "picked");
        messages.warned.clear();
        if (typed) {
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, path("a-file"));
            QTest::keyClick(field, Qt::Key_Return);
        } else {
            fakes.shell->folderAnswer = path("a-file");
            QTest::mouseClick(control("cmdChangeSaveFolder"), Qt::LeftButton);
        }
        EXPECT_EQ(messages.warned,
                  QStringList{"Cannot save in folder: \r" + path("a-file") + "\rNot a directory"});
        EXPECT_EQ(state.settings.saveFolder, path("pictures"));
        EXPECT_EQ(field->text(), path("pictures"));
    }
}

TEST_F(GuiTest, WebLabelOpensTheHomePageAndTheTaskbarBoxSaysWhenItTakesEffect) {
    start();
    QTest::mouseClick(control("lblWebAddress"), Qt::LeftButton);
    EXPECT_EQ(fakes.shell->openedUrls, QStringList{MainWindow::kWebAddress});
    for (int click = 0; click < 2; ++click)
        QTest::mouseClick(control("chkShowInTaskbar"), Qt::LeftButton);
    EXPECT_EQ(messages.informed,
              QStringList(2, "This will take effect the next time you start QuillCap."));
    EXPECT_EQ(state.settings.showInTaskbar, 0) << "ticked and cleared again";
}
