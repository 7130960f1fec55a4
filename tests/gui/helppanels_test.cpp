#include "guifixture.h"
#include "mainwindow/helppanel.h"
#include "mainwindow/tabpictures.h"

#include <QLabel>
#include <QToolButton>
#include <algorithm>

using namespace quillcap;

namespace {

// The panel's texts in reading order.
QStringList texts(const QWidget *panel) {
    auto labels = panel->findChildren<QLabel *>();
    std::sort(labels.begin(), labels.end(), [](const QLabel *a, const QLabel *b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    QStringList out;
    for (const QLabel *label : labels)
        out << label->text();
    return out;
}

} // namespace

class HelpPanelsTest : public GuiTest {
protected:
    bool showsPicture(const char *tab, HelpTab kind, TabPicture picture) {
        const QIcon icon = control<QToolButton>(tab)->icon();
        const QPixmap drawn = DrawTabPicture(kind, picture, 24, window.devicePixelRatioF());
        return icon.pixmap(drawn.size() / drawn.devicePixelRatio()).toImage() == drawn.toImage();
    }
    HelpPanel *openPanel(const char *tab, const char *name) {
        QTest::mouseClick(control(tab), Qt::LeftButton);
        auto *panel = window.findChild<HelpPanel *>(QLatin1String(name));
        const bool sliding = panel && panel->isVisible() && !control(tab)->isVisible();
        EXPECT_TRUE(sliding) << name << ": the faded picture stands in for the tab";
        return sliding && waitFor([&] { return panel->slide().open(); }) ? panel : nullptr;
    }
};

TEST_F(HelpPanelsTest, ATabSlidesItsPanelOutBesideTheWindowAndBack) {
    start();
    struct Case {
        const char *tab, *panel;
        HelpTab kind;
        QStringList rows;
    };
    const Case cases[] = {
        {"imgCodesBox",
         "frmCodesBox",
         HelpTab::Codes,
         {"SPECIAL FILE NAME CODES", "$YYYY", "inserts the year as 4 digits (e.g. 2006)", "$YY",
          "inserts the year as 2 digits (e.g. 06)", "$MMM",
          "inserts the month as 3 char (e.g. Feb)", "$MM",
          "inserts the month as 2 digits (e.g. 03)", "$DDD",
          "inserts the day of the week (e.g. Tue)", "$DD", "inserts the day as 2 digits (e.g. 31)",
          "$DATE", "inserts the current date"}},
        {"imgCommandsBox",
         "frmCommandsBox",
         HelpTab::Commands,
         {"COMMANDS DURING CAPTURE", "ARROW KEYS", "scroll through previous capture regions", "D",
          "highlights the entire desktop", "A", "highlights the current active window", "1,2,3,4",
          "hightlights monitor 1, 2, 3, or 4.", "C", "capture, save and send to clipboard", "F",
          "override the Save As... filename", "Esc / X", "abort the screen capture", "M",
          "capture image stream (movie)", "SPACE BAR / ENTER", "capture and save image"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.panel);
        HelpPanel *panel = openPanel(c.tab, c.panel);
        ASSERT_TRUE(panel);
        EXPECT_TRUE(showsPicture(c.tab, c.kind, TabPicture::WhenOpen));
        EXPECT_EQ(texts(panel), c.rows);
        const auto besideWindow = [&] {
            const QRect frame = window.frameGeometry();
            const int top = c.kind == HelpTab::Codes
                                ? frame.top() + control(c.tab)->mapTo(&window, QPoint()).y()
                                : frame.bottom() + 1 - panel->height();
            return panel->pos() == QPoint(frame.right() + 1, top);
        };
        EXPECT_TRUE(besideWindow());
        EXPECT_EQ(panel->size(), c.kind == HelpTab::Codes ? QSize(263, 137) : QSize(320, 200));
        const QSize larger = window.size() + QSize(60, 40);
        window.resize(larger);
        EXPECT_TRUE(waitFor([&] { return window.size() == larger && besideWindow(); }));
        QTest::mouseClick(control(c.tab), Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return !panel->isVisible() && control(c.tab)->isVisible(); }));
        EXPECT_TRUE(showsPicture(c.tab, c.kind, TabPicture::WhenClosed));
    }
}

TEST_F(HelpPanelsTest, MinimizingUnloadsTheOpenPanelsAndGivesTheirTabsBackClosed) {
    start();
    QPointer<HelpPanel> open = openPanel("imgCodesBox", "frmCodesBox");
    ASSERT_TRUE(open);
    QTest::mouseClick(control("imgCommandsBox"), Qt::LeftButton); // still sliding out
    window.showMinimized();
    EXPECT_TRUE(!open && !window.findChild<HelpPanel *>());
    EXPECT_TRUE(showsPicture("imgCodesBox", HelpTab::Codes, TabPicture::WhenClosed));
    EXPECT_TRUE(showsPicture("imgCommandsBox", HelpTab::Commands, TabPicture::WhenClosed));
    window.showNormal();
    EXPECT_TRUE(control("imgCommandsBox")->isVisible());
    EXPECT_TRUE(openPanel("imgCommandsBox", "frmCommandsBox")) << "loaded afresh, closed";
}
