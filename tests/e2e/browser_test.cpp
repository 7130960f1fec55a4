// The image browser as other programs and the user meet it: drops of the
// preview and of list entries into a real drop target; deleting.
#include "e2e.h"

#include <unistd.h>

namespace e2e {
namespace {

using Browser = E2e;

constexpr QRgb kRed = 0xffc81e1e, kGrey = 0xff404040;

// The program on Pictures holding a red 300x150 a.png and b.png, a.png
// picked with the Down key; `preview` is where the red shows.
struct Picked {
    Picked(XSession &x, Home &home, const QStringList &command = {}) {
        QImage red(300, 150, QImage::Format_RGB32);
        red.fill(kRed);
        red.save(home.home() + "/Pictures/a.png"), red.save(home.home() + "/Pictures/b.png");
        app = std::make_unique<QuillCap>(x, home.environment(x), command);
        const auto shown = [&] { return !(preview = area(x.grabRoot(), kRed)).isEmpty(); };
        ok = app->waitForMainWindow(&window) && x.focus(window) && x.key("Down") &&
             waitFor(shown, "the preview");
    }
    bool deleteWithOk(XSession &x) {
        xcb_window_t box = XCB_WINDOW_NONE;
        return x.key("Delete") &&
               x.waitForWindow(QRegularExpression("Confirm Delete \\.\\.\\."), &box) &&
               x.focus(box) && x.key("Return");
    }
    std::unique_ptr<QuillCap> app;
    xcb_window_t window = XCB_WINDOW_NONE;
    QRect preview;
    bool ok = false;
};

// Drags from `from` onto the drop target, letting go once the target has
// seen the drag; what it printed for the drop.
QString dropInto(XSession &x, Child &target, QPoint from) {
    const QPoint to = x.geometry(x.shown(QRegularExpression("Drop Target"))).center();
    QString got;
    int step = 0;
    const auto entered = [&] {
        got += target.readAllStandardOutput();
        return got.contains("enter") ||
               !x.xdotool(QString::asprintf("mousemove %d %d", to.x() + ++step % 2, to.y()));
    };
    x.xdotool(QString::asprintf("mousemove %d %d mousedown 1 mousemove %d %d mousemove %d %d",
                                from.x(), from.y(), from.x() + 20, from.y() + 5, to.x(), to.y()));
    if (waitFor(entered, "the drag to enter") && x.xdotool("mouseup 1"))
        waitFor([&] { return (got += target.readAllStandardOutput()).contains("end\n"); }, "drop");
    return got;
}

TEST_F(Browser, PreviewAndEntriesDragIntoAnotherProgramAndOkMovesTheFileToTheTrash) {
    ASSERT_TRUE(QDir().mkpath(home.home() + "/.local/share")); // as on a desktop
    Picked picked(*x, home);
    ASSERT_TRUE(picked.ok) << why();
    // No wider than the viewer, never enlarged, in proportion, centred.
    const QImage screen = x->grabRoot();
    const auto reach = [&](QPoint p, QPoint step) { // the viewer's last pixel that way
        for (QRgb c; (c = screen.pixel(p + step) | 0xff000000) == kGrey || c == kRed;)
            p += step;
        return p;
    };
    const QPoint centre = picked.preview.center();
    const QRect viewer(QPoint(reach(centre, {-1, 0}).x(), reach(centre, {0, -1}).y()),
                       QPoint(reach(centre, {1, 0}).x(), reach(centre, {0, 1}).y()));
    EXPECT_EQ(picked.preview.width(), std::min(300, viewer.width()));
    EXPECT_NEAR(picked.preview.height(), picked.preview.width() / 2.0, 0.5);
    EXPECT_NEAR(centre.x(), viewer.center().x(), 1);
    EXPECT_NEAR(centre.y(), viewer.center().y(), 1);

    auto target = x->spawn(QCoreApplication::applicationDirPath() + "/e2e_droptarget",
                           {"1450", "300", "400", "400"});
    ASSERT_TRUE(x->waitForWindow(QRegularExpression("Drop Target"))) << why();
    const QString image = dropInto(*x, *target, centre);
    EXPECT_TRUE(image.contains("image 300x150 #ffc81e1e")) << image.toStdString();
    // Both entries, dragged from the first row of the list.
    ASSERT_TRUE(x->focus(picked.window) && x->key("ctrl+a")) << why();
    const QString pictures = "file://" + home.home() + "/Pictures/";
    const QString files = dropInto(*x, *target, QPoint(viewer.left() - 60, viewer.top() + 8));
    EXPECT_TRUE(files.contains("url " + pictures + "a.png\nurl " + pictures + "b.png\n"))
        << files.toStdString();

    ASSERT_TRUE(picked.deleteWithOk(*x)) << why(); // a.png is the current entry
    const QString trash = home.home() + "/.local/share/Trash/";
    EXPECT_TRUE(waitFor([&] { return QFileInfo::exists(trash + "files/a.png"); }, "the trash"));
    EXPECT_TRUE(
        readFile(trash + "info/a.png.trashinfo")
            .startsWith("[Trash Info]\nPath=" + home.home().toUtf8() + "/Pictures/a.png\n"));
    EXPECT_TRUE(QFileInfo::exists(home.home() + "/Pictures/b.png"));
}

TEST_F(Browser, AsNobodyAFileThatCannotBeDeletedIsReportedAndStays) {
    const auto all =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    const QString program = copyProgram(home.root(), all);
    ASSERT_TRUE(!program.isEmpty() && QFile::setPermissions(home.root(), all)) << why();
    for (const QString &own : {home.runtime(), home.home()}) // not Pictures
        ASSERT_EQ(::chown(qPrintable(own), 65534, 65534), 0);
    Picked picked(*x, home,
                  {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", program});
    ASSERT_TRUE(picked.ok && picked.deleteWithOk(*x)) << why();
    const auto told = [&] {
        return QString(picked.app->stderrText())
            .contains("Could not delete file: \n" + home.home() +
                      "/Pictures/a.png\nPermission denied");
    };
    EXPECT_TRUE(waitFor(told, "the report")) << picked.app->stderrText().toStdString();
    EXPECT_TRUE(QFileInfo::exists(home.home() + "/Pictures/a.png"));
}

} // namespace
} // namespace e2e
