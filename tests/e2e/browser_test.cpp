// The image browser as another program meets it: drops of the preview and of
// list entries into a real drop target, and deleting from the list.
#include "e2e.h"

#include <unistd.h>

namespace e2e {
namespace {

using Browser = E2e;

constexpr QRgb kRed = 0xffc81e1e, kGrey = 0xff404040;

// The bounding box of the pixels of `colour` on the screen; empty if none.
QRect findColour(XSession &x, QRgb colour) {
    const QImage screen = x.grabRoot();
    QRect box;
    for (int y = 0; y < screen.height(); ++y)
        for (int xx = 0; xx < screen.width(); ++xx)
            if ((screen.pixel(xx, y) | 0xff000000) == colour)
                box |= QRect(xx, y, 1, 1);
    return box;
}

// Starts the program on Pictures holding a red 300x150 a.png and b.png, and
// picks a.png with the Down key, as a keyboard user does.
struct Picked {
    Picked(XSession &x, Home &home, const QStringList &command = {}) {
        QImage red(300, 150, QImage::Format_RGB32), blue(40, 40, QImage::Format_RGB32);
        red.fill(kRed), blue.fill(Qt::blue);
        red.save(home.home() + "/Pictures/a.png"), blue.save(home.home() + "/Pictures/b.png");
        app = std::make_unique<QuillCap>(x, home.environment(x), command);
        ok = app->waitForMainWindow(&window) && x.focus(window) && x.key("Down") &&
             waitFor([&] { return !(preview = findColour(x, kRed)).isEmpty(); }, "the preview");
    }
    std::unique_ptr<QuillCap> app;
    xcb_window_t window = XCB_WINDOW_NONE;
    QRect preview;
    bool ok = false;
};

// What the drop target printed for one drop.
QString dropInto(XSession &x, Child &target, QPoint from) {
    const QRect there = x.geometry(x.shown(QRegularExpression("Drop Target")));
    QString got;
    const auto dropped = [&] { return (got += target.readAllStandardOutput()).contains("end\n"); };
    const QPoint to = there.center();
    x.xdotool(QString::asprintf("mousemove %d %d mousedown 1 mousemove %d %d mousemove %d %d "
                                "mousemove %d %d",
                                from.x(), from.y(), from.x() + 20, from.y() + 5, to.x() - 10,
                                to.y(), to.x(), to.y()));
    // The pointer moves on until the target has seen the drag: then let go.
    int step = 0;
    const auto entered = [&] {
        got += target.readAllStandardOutput();
        return got.contains("enter") ||
               (x.xdotool(QString::asprintf("mousemove %d %d", to.x() + (++step % 2), to.y())),
                false);
    };
    if (waitFor(entered, "the drag to enter the target"))
        x.xdotool("mouseup 1") && waitFor(dropped, "the drop");
    return got;
}

TEST_F(Browser, ThePreviewFitsAndBothDragSourcesGiveAnotherProgramThePictureAndTheFiles) {
    Picked picked(*x, home);
    ASSERT_TRUE(picked.ok) << why();
    // A 300x150 picture: no wider than the viewer, never enlarged, its
    // proportions kept, centred in the grey.
    const QImage screen = x->grabRoot();
    const auto reach = [&](QPoint p, QPoint step) { // the last pixel of the viewer that way
        for (QRgb c; (c = screen.pixel(p + step) | 0xff000000) == kGrey || c == kRed;)
            p += step;
        return p;
    };
    const QPoint centre = picked.preview.center();
    const QRect viewer(QPoint(reach(centre, {-1, 0}).x(), reach(centre, {0, -1}).y()),
                       QPoint(reach(centre, {1, 0}).x(), reach(centre, {0, 1}).y()));
    EXPECT_EQ(picked.preview.width(), std::min(300, viewer.width()));
    EXPECT_NEAR(picked.preview.height(), picked.preview.width() / 2.0, 0.5);
    EXPECT_NEAR(picked.preview.center().x(), viewer.center().x(), 1);
    EXPECT_NEAR(picked.preview.center().y(), viewer.center().y(), 1);

    auto target = x->spawn(QCoreApplication::applicationDirPath() + "/e2e_droptarget",
                           {"1450", "300", "400", "400"});
    ASSERT_TRUE(x->waitForWindow(QRegularExpression("Drop Target"))) << why();
    const QString image = dropInto(*x, *target, picked.preview.center());
    EXPECT_TRUE(image.contains("image/png")) << image.toStdString();
    EXPECT_TRUE(image.contains("image 300x150 #ffc81e1e")) << image.toStdString();

    // Both entries selected, dragged from the first row of the list.
    ASSERT_TRUE(x->focus(picked.window) && x->key("ctrl+a")) << why();
    const QString pictures = home.home() + "/Pictures/";
    const QString files = dropInto(*x, *target, QPoint(viewer.left() - 60, viewer.top() + 8));
    EXPECT_TRUE(files.contains("text/uri-list")) << files.toStdString();
    EXPECT_TRUE(
        files.contains("url file://" + pictures + "a.png\nurl file://" + pictures + "b.png\n"))
        << files.toStdString();
    EXPECT_TRUE(QFileInfo::exists(pictures + "a.png")) << "a drag copies";
}

TEST_F(Browser, DeleteMovesTheChosenFileToTheTrashAfterOk) {
    ASSERT_TRUE(QDir().mkpath(home.home() + "/.local/share")); // as on a desktop
    Picked picked(*x, home);
    ASSERT_TRUE(picked.ok) << why();
    xcb_window_t box = XCB_WINDOW_NONE;
    ASSERT_TRUE(x->key("Delete") &&
                x->waitForWindow(QRegularExpression("Confirm Delete \\.\\.\\."), &box) &&
                x->focus(box) && x->key("Return"))
        << why();
    const QString trash = home.home() + "/.local/share/Trash/";
    EXPECT_TRUE(waitFor([&] { return QFileInfo::exists(trash + "files/a.png"); }, "the trash"))
        << why();
    EXPECT_TRUE(
        readFile(trash + "info/a.png.trashinfo")
            .startsWith("[Trash Info]\nPath=" + home.home().toUtf8() + "/Pictures/a.png\n"));
    EXPECT_FALSE(QFileInfo::exists(home.home() + "/Pictures/a.png"));
    EXPECT_TRUE(QFileInfo::exists(home.home() + "/Pictures/b.png"));
    EXPECT_TRUE(waitFor([&] { return findColour(*x, kRed).isEmpty(); }, "the preview to clear"));
}

TEST_F(Browser, AsNobodyAFileThatCannotBeDeletedIsReportedAndStays) {
    const QString program = home.root() + "/quillcap";
    ASSERT_TRUE(QFile::copy(QUILLCAP_BINARY, program));
    ASSERT_EQ(::chown(qPrintable(home.runtime()), 65534, 65534), 0);
    ASSERT_EQ(::chown(qPrintable(home.home()), 65534, 65534), 0);
    const auto all =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(home.root(), all) && QFile::setPermissions(program, all));
    Picked picked(*x, home,
                  {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", program});
    ASSERT_TRUE(picked.ok) << why();
    xcb_window_t box = XCB_WINDOW_NONE;
    ASSERT_TRUE(x->key("Delete") &&
                x->waitForWindow(QRegularExpression("Confirm Delete \\.\\.\\."), &box) &&
                x->focus(box) && x->key("Return"))
        << why();
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
