#include "guifixture.h"
#include "platform/autostartentry.h"

#include "mainwindow/browserwidgets.h"
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

#include <QMouseEvent>

using namespace quillcap;

TEST_F(GuiTest, ResizingStretchesAndMovesEachKindOfControlButNeverShrinksTheWindow) {
    start();
    const QSize designed = window.size();
    window.resize(designed - QSize(100, 100));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.size(), designed);
    const auto place = [&](const char *name) {
        const QWidget *w = control(name);
        return QRect(w->mapTo(&window, QPoint()), w->size());
    };
    const QRect picture = place("picViewer"), field = place("txtPrefix"),
                type = place("cmbFileType"), button = place("cmdChangeSaveFolder"),
                version = place("lblVersion");
    window.resize(designed + QSize(150, 10));
    ASSERT_TRUE(waitFor([&] { return place("picViewer").height() == picture.height() + 10; }));
    EXPECT_EQ(place("picViewer"), picture.adjusted(0, 0, 150, 10));
    EXPECT_EQ(place("txtPrefix"), field.adjusted(0, 0, 150, 0));
    EXPECT_EQ(place("cmbFileType"), type.translated(150, 0));
    EXPECT_EQ(place("cmdChangeSaveFolder"), button);
    EXPECT_EQ(place("lblVersion"), version.translated(150, 10)) << "with the bottom-right corner";
}

TEST_F(GuiTest, TheListAndTheNextNameFollowTheTypeTheTemplateAndTheDate) {
    for (const char *name : {"a.png", "b.PNG", "c.gif", "Quillcap_004.gif", "Quillcap_002.png"})
        writeFile(QStringLiteral("pictures/") + name);
    QDir(path("pictures")).mkdir("shot 2026-03-05_001.gif"); // a folder takes a name too
    start();
    auto *list = control<FileListBox>("fileBox");
    EXPECT_EQ(list->names(), (QStringList{"a.png", "b.PNG", "Quillcap_002.png"}))
        << "letter case ignored";
    auto *next = control<QLabel>("lblNextName");
    EXPECT_EQ(next->text(), "Quillcap_003.png");
    control("cmbFileType")->setFocus();
    QTest::keyClick(control("cmbFileType"), Qt::Key_G);
    EXPECT_EQ(next->text(), "Quillcap_005.gif");
    EXPECT_EQ(list->count(), 2) << "folders are not images";
    auto *prefix = control<QLineEdit>("txtPrefix");
    prefix->selectAll();
    QTest::keyClicks(prefix, "shot $date_");
    EXPECT_EQ(next->text(), "shot 2026-03-05_002.gif");
    clock.set(QDate(2026, 3, 6));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(control("Label3"), &move);
    EXPECT_EQ(next->text(), "shot 2026-03-06_001.gif");
}

// A folder that is a file is refused at once, typed or picked; the picker
// opens at the save folder, and cancelling it changes nothing.
TEST_F(GuiTest, TheSaveFolderIsTypedOrPickedAndAFileIsRefusedAtOnce) {
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
    const QString refused = "Cannot save in folder: \r" + path("a-file") + "\rNot a directory";
    // Typed or picked, what (empty: cancelled), and the save folder then.
    const std::tuple<bool, QString, QString> steps[] = {{true, "a-file", "pictures"},
                                                        {false, "a-file", "pictures"},
                                                        {false, "other", "other"},
                                                        {false, "", "other"}};
    for (const auto &[typed, answer, folder] : steps) {
        SCOPED_TRACE(testing::Message() << (typed ? "typed " : "picked ") << answer.toStdString());
        messages.warned.clear();
        if (typed) {
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, path(answer));
            QTest::keyClick(field, Qt::Key_Return);
        } else {
            fakes.shell->folderAnswer = answer.isEmpty() ? QString() : path(answer);
            QTest::mouseClick(control("cmdChangeSaveFolder"), Qt::LeftButton);
        }
        EXPECT_EQ(messages.warned, answer == "a-file" ? QStringList{refused} : QStringList());
        EXPECT_EQ(state.settings.saveFolder, path(folder));
        EXPECT_EQ(field->text(), path(folder));
    }
    EXPECT_EQ(fakes.shell->browseStartFolders,
              (QStringList{path("pictures"), path("pictures"), path("other")}));
}

TEST_F(GuiTest, StartWithTheDesktopShowsWhetherTheEntryIsThereAndSaysWhyNot) {
    writeFile("plain");
    start();
    auto *box = control<QCheckBox>("chkStartWithDesktop");
    for (const char *folder : {"autostart", "plain/autostart"}) {
        const AutostartEntry entry(path(folder), "/bin/quillcap");
        window.SetAutostart(&entry);
        box->click();
        EXPECT_EQ(box->isChecked(), entry.Exists()) << folder;
    }
    EXPECT_EQ(messages.warned.size(), 1) << "the failed write; the first one worked";
    window.SetAutostart(nullptr);
}
