#include "guifixture.h"

#include "mainwindow/browserwidgets.h"
#include "mainwindow/imagebrowser.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QThreadPool>
#include <future>

using namespace quillcap;

namespace {

struct Browser : GuiTest {
    FileListBox *list = nullptr;
    void start(const QStringList &pictures) {
        QImage image(30, 20, QImage::Format_RGB32); // every picture; "bad.png" is text
        image.fill(Qt::red);
        for (const QString &name : pictures)
            ASSERT_TRUE(name == "bad.png" ? ::writeFile(path("pictures/" + name), "text")
                                          : image.save(path("pictures/" + name)));
        GuiTest::start();
        list = control<FileListBox>("fileBox");
    }
    void click(const QString &name) {
        const QModelIndex row = list->model()->index(list->rowOf(name), 0);
        ASSERT_TRUE(row.isValid()) << name.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(row).center());
    }
    PreviewImage *preview() const { return control<PreviewImage>("imgPreview"); }
    // Every decode under way done and its picture handed over.
    static void settle() {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
    }
    QAction *item(const char *name) const { return control<QAction>(name, control("ImageMenu")); }
};

// Only the current entry is asked about and trashed; the list and the next
// name follow the folder, whoever changes it.
TEST_F(Browser, DeleteAsksAboutTheCurrentEntryOnlyAndTheListFollowsTheFolder) {
    start({"a.png", "Quillcap_001.png", "Quillcap_002.png"});
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
    EXPECT_EQ(list->names(), (QStringList{"a.png", "Quillcap_001.png"}));
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), "Quillcap_002.png");
    EXPECT_FALSE(preview()->isVisible());
    writeFile("pictures/Quillcap_007.png"); // by another program
    ASSERT_TRUE(waitFor([&] { return list->count() == 3; }));
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), "Quillcap_008.png");
}

TEST_F(Browser, TheMenuActsOnTheChosenPictureAndAnUnreadableOneShowsNothing) {
    start({"a.png", "bad.png"});
    const auto rightClick = [&] {
        QWidget *viewer = control("picViewer");
        QContextMenuEvent event(QContextMenuEvent::Mouse, {5, 5},
                                viewer->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(viewer, &event);
        control<QMenu>("ImageMenu")->hide();
    };
    rightClick();
    EXPECT_FALSE(item("itmKillImage")->isEnabled());
    click("bad.png");
    settle();
    rightClick();
    EXPECT_FALSE(preview()->isVisible());
    EXPECT_FALSE(item("itmCopyImage")->isEnabled());
    click("a.png");
    settle();
    rightClick();
    EXPECT_TRUE(preview()->isVisible() && item("itmKillImage")->isEnabled());
    item("itmOpenImage")->trigger();
    EXPECT_EQ(fakes.shell->openedFiles, QStringList{path("pictures/a.png")});
    item("itmCopyImage")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(30, 20));
}

TEST_F(Browser, APictureStillDecodingLeavesTheWindowFreeAndTheLatestClickWins) {
    start({"a.png", "b.png"});
    std::promise<void> release;
    const std::shared_future<void> gate = release.get_future().share();
    std::atomic<bool> started = false, stuck = false;
    const auto decode = window.browser().decode;
    window.browser().decode = [&, gate, decode](const QString &file) {
        if (!file.endsWith("a.png"))
            return decode(file);
        started = true;
        // Slow until released; the timeout only ends a window that waited.
        stuck = gate.wait_for(std::chrono::seconds(20)) != std::future_status::ready;
        return QImage(10, 10, QImage::Format_RGB32);
    };
    click("a.png");
    ASSERT_TRUE(waitFor([&] { return started.load(); }));
    click("b.png");
    EXPECT_TRUE(waitFor([&] { return preview()->isVisible(); }));
    release.set_value();
    settle();
    EXPECT_FALSE(stuck);
    EXPECT_EQ(preview()->picture().size(), QSize(30, 20)) << "b.png's, not a.png's";
}

} // namespace
