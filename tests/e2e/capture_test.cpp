// Real captures of a pattern whose every pixel tells where it is: Print, a
// box, Enter must save exactly that part of the screen, under the next name
// or a one-off one, as a file and on the clipboard.
#include "e2e.h"

#include <QDate>
#include <QDir>

namespace e2e {
namespace {

QRegularExpression caption(int snaps) {
    return QRegularExpression(QStringLiteral("QuillCap  \\(%1 snaps\\)").arg(snaps));
}

class Capture : public E2e {
protected:
    void SetUp() override {
        E2e::SetUp();
        ASSERT_TRUE(QDir().mkpath(pictures()));
        x->setRootPicture(pattern(x->size()));
    }
    QString pictures() const { return home.home() + "/Pictures"; }
    // The file once it is complete (it is renamed into place), as RGB32.
    QImage saved(const QString &name) {
        QImage image;
        waitFor([&] { return image.load(pictures() + '/' + name); }, name);
        return image.convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(Capture, WholeDesktopAndDrawnBoxArePixelExact) {
    QuillCap app(*x, home.environment(*x));
    ASSERT_TRUE(app.openOverlay()) << why();
    ASSERT_TRUE(x->key("d Return")) << why();
    const QImage whole = saved("Quillcap_001.png");
    EXPECT_EQ(whole.size(), x->size());
    EXPECT_EQ(firstDifference(whole, [](QPoint p) { return pattern(p); }), "")
        << "the pointer is left out by default";
    ASSERT_TRUE(x->waitForWindow(caption(1))) << why();

    // The overlay opens on the last region, the whole desktop: R makes room
    // to draw a new box outside it.
    ASSERT_TRUE(app.openOverlay("shift+Print")) << why();
    ASSERT_TRUE(x->key("r")) << why();
    ASSERT_TRUE(x->drag({37, 53}, {337, 253})) << why();
    ASSERT_TRUE(x->key("space")) << why();
    const QImage box = saved("Quillcap_002.png");
    EXPECT_EQ(box.size(), QSize(300, 200));
    EXPECT_EQ(firstDifference(box, [](QPoint p) { return pattern(p + QPoint(37, 53)); }), "");
    ASSERT_TRUE(x->waitForWindow(caption(2))) << why();
    ASSERT_TRUE(app.stop()) << why();
    EXPECT_EQ(home.setting("NUMBEROFSNAPS"), " 2 ");
}

TEST_F(Capture, OneOffNameAndClipboard) {
    ASSERT_TRUE(home.writeSettings({"FILETYPEINDEX", " 4 "})); // TIF
    QuillCap app(*x, home.environment(*x));
    // F, a name with a date code, Enter closes the panel, Enter captures.
    ASSERT_TRUE(app.openOverlay("ctrl+Print")) << why();
    ASSERT_TRUE(x->key("shift+e f") && x->type("shot_$yyyy") && x->key("Return Return")) << why();
    const QImage named = saved(QStringLiteral("shot_%1.tif").arg(QDate::currentDate().year()));
    EXPECT_EQ(named.size(), QSize(640, 480)) << "640x480 at the default box's corner";
    EXPECT_EQ(firstDifference(named, [](QPoint p) { return pattern(p + QPoint(768, 432)); }), "");

    // C saves under the next name and puts the same picture on the clipboard.
    ASSERT_TRUE(app.openOverlay()) << why();
    ASSERT_TRUE(x->key("c")) << why();
    const QImage file = saved("Quillcap_001.tif");
    QImage pasted;
    EXPECT_TRUE(waitFor([&] { return pasted.loadFromData(x->clipboard("image/png"), "PNG"); },
                        "a picture on the clipboard"));
    EXPECT_EQ(pasted.convertToFormat(QImage::Format_RGB32), file);
    ASSERT_TRUE(app.stop()) << why();
    EXPECT_EQ(home.setting("LASTOVERRIDENAME"), "shot_$yyyy");
}

TEST_F(Capture, PointerIsDrawnWithItsHotSpotOnThePointer) {
    // Xvfb's default cursor: 16x16 with its hot spot at 7,7.
    const QPoint at(500, 400);
    const QRect cursor(at - QPoint(7, 7), QSize(16, 16));
    ASSERT_TRUE(home.writeSettings({"SHOWMOUSE", " 1 "}));
    QuillCap app(*x, home.environment(*x));
    ASSERT_TRUE(x->xdotool("mousemove --sync 500 400")) << why();
    ASSERT_TRUE(app.openOverlay()) << why();
    ASSERT_TRUE(x->key("d Return")) << why();
    const QImage whole = saved("Quillcap_001.png");
    ASSERT_EQ(whole.size(), x->size());
    EXPECT_NE(whole.pixel(at), pattern(at)) << "nothing drawn at the hot spot";
    EXPECT_EQ(
        firstDifference(whole,
                        [&](QPoint p) { return cursor.contains(p) ? whole.pixel(p) : pattern(p); }),
        "")
        << "drawn beside the pointer";
}

} // namespace
} // namespace e2e
