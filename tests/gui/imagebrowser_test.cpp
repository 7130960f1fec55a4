#include "guifixture.h"

#include "mainwindow/browserwidgets.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>

using namespace quillcap;

namespace {

struct Browser : GuiTest {
    FileListBox *list = nullptr;
    void start(const QStringList &pictures) {
        for (const QString &name : pictures) {
            const QStringList size = name.section('.', 0, 0).split('x');
            QImage image(size.value(0).toInt(), size.value(1).toInt(), QImage::Format_RGB32);
            image.fill(Qt::red);
            ASSERT_TRUE(image.isNull() ? ::writeFile(path("pictures/" + name), "not an image")
                                       : image.save(path("pictures/" + name)));
        }
        GuiTest::start();
        list = control<FileListBox>("fileBox");
    }
    void click(const QString &name) {
        const QModelIndex row = list->model()->index(list->rowOf(name), 0);
        ASSERT_TRUE(row.isValid()) << name.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
    }
    QWidget *preview() const { return control("imgPreview"); }
    QAction *item(const char *name) const { return control<QAction>(name, control("ImageMenu")); }
};

TEST_F(Browser, AClickShowsThePictureFittedAndCentredOrNothingWhenItCannotBeRead) {
    start({"2000x500.png", "30x20.png", "0x0.png"});
    const QSize viewer = control("picViewer")->size();
    ASSERT_GT(viewer.width(), 200);
    ASSERT_LT(viewer.width(), 2000);
    click("2000x500.png");
    const int height = int(std::nearbyint(viewer.width() / 4.0));
    EXPECT_EQ(preview()->geometry(),
              QRect(0, (viewer.height() - height) / 2, viewer.width(), height));
    EXPECT_TRUE(preview()->isVisible());
    click("30x20.png");
    const QRect small((viewer.width() - 30) / 2, (viewer.height() - 20) / 2, 30, 20);
    EXPECT_EQ(preview()->geometry(), small);
    click("0x0.png"); // not an image
    EXPECT_FALSE(preview()->isVisible());
    click("30x20.png");
    EXPECT_EQ(preview()->geometry(), small);
}

TEST_F(Browser, DeleteAsksAboutTheCurrentEntryOnlyAndTrashesItOnOk) {
    start({"10x10.png", "Quillcap_001.png", "Quillcap_002.png"});
    const QString two = path("pictures/Quillcap_002.png");
    QTest::keyClick(list, Qt::Key_Delete); // nothing chosen: nothing asked
    EXPECT_TRUE(messages.asked.isEmpty());
    click("Quillcap_002.png");
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier); // all selected, 002 current
    messages.answer = false;
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(messages.asked, (QStringList{"Confirm Delete ...",
                                           "Are you sure you want to delete this file ?\r" + two}));
    EXPECT_TRUE(QFileInfo::exists(two)) << "cancelled";
    messages.answer = true;
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_FALSE(QFileInfo::exists(two));
    EXPECT_EQ(list->names(), (QStringList{"10x10.png", "Quillcap_001.png"}));
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), "Quillcap_002.png");
    EXPECT_FALSE(preview()->isVisible());
}

TEST_F(Browser, TheMenuOpensAndCopiesTheChosenPicture) {
    start({"30x20.png"});
    QWidget *viewer = control("picViewer");
    const auto rightClick = [&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                viewer->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(viewer, &event);
        control<QMenu>("ImageMenu")->hide();
    };
    rightClick();
    EXPECT_FALSE(item("itmKillImage")->isEnabled());
    click("30x20.png");
    rightClick();
    EXPECT_TRUE(item("itmKillImage")->isEnabled());
    item("itmOpenImage")->trigger();
    EXPECT_EQ(fakes.shell->openedFiles, QStringList{path("pictures/30x20.png")});
    item("itmCopyImage")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(30, 20));
}

TEST_F(Browser, AFileAnotherProgramAddsShowsInTheListAndTheNextName) {
    start({"Quillcap_001.png"});
    writeFile("pictures/Quillcap_007.png");
    ASSERT_TRUE(waitFor([&] { return list->count() == 2; }));
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), "Quillcap_008.png");
}

} // namespace
