#include "guifixture.h"
#include "mainwindow/helppanel.h"
#include "mainwindow/helppanelcontent.h"
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
    // The panel shows its title, then each key beside what it does.
    const std::tuple<const char *, HelpTab, HelpPanelContent> cases[] = {
        {"imgCodesBox", HelpTab::Codes, CodesBoxContent()},
        {"imgCommandsBox", HelpTab::Commands, CommandsBoxContent()},
    };
    for (const auto &[tab, kind, content] : cases) {
        SCOPED_TRACE(tab);
        HelpPanel *panel = openPanel(tab, qPrintable(content.name));
        ASSERT_TRUE(panel);
        EXPECT_TRUE(showsPicture(tab, kind, TabPicture::WhenOpen));
        QStringList rows{content.title};
        for (const HelpRow &row : content.rows)
            rows << row.key << row.description;
        EXPECT_EQ(texts(panel), rows);
        const auto besideWindow = [&] {
            const QRect frame = window.frameGeometry();
            const int top = kind == HelpTab::Codes
                                ? frame.top() + control(tab)->mapTo(&window, QPoint()).y()
                                : frame.bottom() + 1 - panel->height();
            return panel->pos() == QPoint(frame.right() + 1, top);
        };
        EXPECT_TRUE(besideWindow());
        EXPECT_EQ(panel->size(), kind == HelpTab::Codes ? QSize(263, 137) : QSize(320, 200));
        const QSize larger = window.size() + QSize(60, 40);
        window.resize(larger);
        EXPECT_TRUE(waitFor([&] { return window.size() == larger && besideWindow(); }));
        QTest::mouseClick(control(tab), Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return !panel->isVisible() && control(tab)->isVisible(); }));
        EXPECT_TRUE(showsPicture(tab, kind, TabPicture::WhenClosed));
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
