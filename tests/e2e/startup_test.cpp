// First start in an empty HOME, and refusing to run outside X11.
#include "e2e_support.h"

#include <QFileInfo>

namespace e2e {
namespace {

struct FirstStartCase {
    const char *name;
    bool picturesFolder;
};
E2E_PRINTS_NAME(FirstStartCase)

class FirstStart : public E2eTest, public testing::WithParamInterface<FirstStartCase> {};

TEST_P(FirstStart, ShowsNoSnapsAndSavesTheDefaultsOnExit) {
    if (GetParam().picturesFolder) {
        ASSERT_TRUE(makeFolder(home.home() + QStringLiteral("/Pictures")));
    }
    const QString saveFolder =
        GetParam().picturesFolder ? home.home() + QStringLiteral("/Pictures") : home.home();

    QuillCapRun app(home.environment(x));
    ASSERT_TRUE(waitForWindow(x, QStringLiteral("QuillCap  \\(0 snaps\\)")));
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_TRUE(app.exitedNormally());
    EXPECT_EQ(app.exitCode(), 0);
    // Nothing was wrong, so no message box was shown (each one is echoed).
    EXPECT_FALSE(app.stderrText().contains("QuillCap: ")) << app.stderrText().toStdString();

    const QByteArray file = readFile(home.settingsFile());
    ASSERT_TRUE(isWellFormedSettings(file));
    const QString programFolder = folderOf(quillCapBinary());
    const struct {
        const char *key;
        int n;
        QString value;
    } expected[] = {
        {"DEBUGLOG", 0, QStringLiteral("False")},
        {"SAVEFOLDER", 0, saveFolder},
        {"PREFIX", 0, QStringLiteral(":Quillcap_:")},
        {"FILETYPEINDEX", 0, QStringLiteral(" 2 ")},
        {"STARTMINIMIZED", 0, QStringLiteral(" 0 ")},
        {"SOUNDPATHS", 0, programFolder + QStringLiteral("/capture.wav")},
        {"SOUNDPATHS", 1, programFolder + QStringLiteral("/error.wav")},
        {"SHOWMESSAGE", 0, QStringLiteral(" 1 ")},
        {"PLAYSOUND", 0, QStringLiteral(" 1 ")},
        {"SHOWMOUSE", 0, QStringLiteral(" 0 ")},
        {"LASTOVERRIDENAME", 0, QString()},
        {"NUMBEROFSNAPS", 0, QStringLiteral(" 0 ")},
        {"SYSTEMTRAY", 0, QStringLiteral(" 0 ")},
    };
    for (const auto &e : expected) {
        EXPECT_EQ(settingValue(file, QLatin1String(e.key), e.n), e.value)
            << e.key << " value line " << e.n + 1;
    }
    const QRegularExpression twips(QStringLiteral("^ \\d+ $"));
    EXPECT_TRUE(twips.match(settingValue(file, QStringLiteral("POSITION"), 0)).hasMatch());
    EXPECT_TRUE(twips.match(settingValue(file, QStringLiteral("POSITION"), 1)).hasMatch());

    EXPECT_TRUE(QFileInfo::exists(home.regionsFile())) << "recent regions were not saved";
    EXPECT_FALSE(QFileInfo::exists(home.logFile())) << "log written with DEBUGLOG off";
}

INSTANTIATE_TEST_SUITE_P(Home, FirstStart,
                         testing::Values(FirstStartCase{"WithPicturesFolder", true},
                                         FirstStartCase{"WithoutPicturesFolder", false}),
                         [](const auto &info) { return std::string(info.param.name); });

struct NoX11Case {
    const char *name;
    std::function<void(QProcessEnvironment &)> change;
};
E2E_PRINTS_NAME(NoX11Case)

class RefusesWithoutX11 : public E2eTest, public testing::WithParamInterface<NoX11Case> {};

TEST_P(RefusesWithoutX11, ExitsWithOneLineAndWritesNothing) {
    QProcessEnvironment env = home.environment(x);
    GetParam().change(env);
    QuillCapRun app(env);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_TRUE(app.exitedNormally());
    EXPECT_NE(app.exitCode(), 0);
    const QByteArray err = app.stderrText();
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(err.endsWith('\n')) << err.toStdString();
    EXPECT_TRUE(err.contains("X11")) << err.toStdString();
    EXPECT_TRUE(app.stdoutText().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(home.dataFolder())) << "a refused start created its folder";
}

INSTANTIATE_TEST_SUITE_P(
    Session, RefusesWithoutX11,
    testing::Values(
        NoX11Case{"NoDisplay", [](auto &env) { env.remove(QStringLiteral("DISPLAY")); }},
        NoX11Case{"EmptyDisplay",
                  [](auto &env) { env.insert(QStringLiteral("DISPLAY"), QString()); }},
        // Nothing listens there: the servers here accept no TCP either.
        NoX11Case{
            "UnreachableDisplay",
            [](auto &env) { env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":4093")); }},
        NoX11Case{"WaylandDisplaySet",
                  [](auto &env) {
                      env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
                  }},
        NoX11Case{"WaylandSessionType",
                  [](auto &env) {
                      env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
                  }}),
    [](const auto &info) { return std::string(info.param.name); });

struct CaptionCase {
    const char *name;
    const char *lang;
    const char *snaps; // as the settings file holds it
    const char *caption;
};
E2E_PRINTS_NAME(CaptionCase)

class Caption : public E2eTest, public testing::WithParamInterface<CaptionCase> {};

TEST_P(Caption, GroupsTheSnapCountTheUsersWay) {
    const CaptionCase &c = GetParam();
    ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"NUMBEROFSNAPS", c.snaps})));
    QProcessEnvironment env = home.environment(x);
    env.insert(QStringLiteral("LANG"), QLatin1String(c.lang));
    QuillCapRun app(env);
    ASSERT_TRUE(waitForWindow(x, QRegularExpression::escape(QLatin1String(c.caption))));
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.exitCode(), 0);
    // The file keeps the bare number, whatever the caption showed.
    const QByteArray file = readFile(home.settingsFile());
    ASSERT_TRUE(isWellFormedSettings(file));
    EXPECT_EQ(settingValue(file, QStringLiteral("NUMBEROFSNAPS")),
              u' ' + QString::number(QString::fromLatin1(c.snaps).trimmed().toInt()) + u' ');
}

INSTANTIATE_TEST_SUITE_P(
    Locale, Caption,
    testing::Values(CaptionCase{"English", "en_US.UTF-8", " 1234567 ",
                                "QuillCap  (1,234,567 snaps)"},
                    CaptionCase{"German", "de_DE.UTF-8", " 1234 ", "QuillCap  (1.234 snaps)"},
                    CaptionCase{"OneDigit", "en_US.UTF-8", "7", "QuillCap  (7 snaps)"}),
    [](const auto &info) { return std::string(info.param.name); });

// The settings file keeps positions in twips; Xvfb runs at 96 dpi, 15 twips
// to the pixel.
constexpr int kTwips = 15;
const QRect kScreen(0, 0, 1920, 1080);

struct PositionCase {
    const char *name;
    int left, top; // twips, as saved
    // Where the window must be, given its size.
    std::function<QPoint(QSize)> expected;
};
E2E_PRINTS_NAME(PositionCase)

class SavedPosition : public E2eTest, public testing::WithParamInterface<PositionCase> {};

TEST_P(SavedPosition, IsRestoredAndKeptOnTheScreen) {
    const PositionCase &c = GetParam();
    ASSERT_TRUE(writeFile(home.settingsFile(), crlf({"POSITION", QStringLiteral(" %1 ").arg(c.left),
                                                     QStringLiteral(" %1 ").arg(c.top)})));
    QuillCapRun app(home.environment(x));
    QString id;
    ASSERT_TRUE(waitForWindow(x, kMainCaption, &id));
    QRect shown;
    ASSERT_TRUE(waitFor(
        [&] {
            shown = windowGeometry(x, id);
            return shown.isValid() && shown.topLeft() == c.expected(shown.size());
        },
        QStringLiteral("the main window in place")))
        << "window at " << shown.x() << "," << shown.y() << " size " << shown.width() << "x"
        << shown.height();
    app.terminate(SIGTERM);
    ASSERT_TRUE(app.waitForExit());
    EXPECT_EQ(app.exitCode(), 0);
    const QByteArray file = readFile(home.settingsFile());
    ASSERT_TRUE(isWellFormedSettings(file));
    EXPECT_EQ(settingValue(file, QStringLiteral("POSITION"), 0),
              QStringLiteral(" %1 ").arg(shown.x() * kTwips));
    EXPECT_EQ(settingValue(file, QStringLiteral("POSITION"), 1),
              QStringLiteral(" %1 ").arg(shown.y() * kTwips));
}

INSTANTIATE_TEST_SUITE_P(
    Twips, SavedPosition,
    testing::Values(
        PositionCase{"OnScreen", 1500, 3000, [](QSize) { return QPoint(100, 200); }},
        PositionCase{"LeftOfTheScreen", -30000, 3000, [](QSize) { return QPoint(0, 200); }},
        PositionCase{"AboveTheScreen", 1500, -30000, [](QSize) { return QPoint(100, 0); }},
        PositionCase{"BeyondRightAndBottom", 150000, 150000,
                     [](QSize size) {
                         return QPoint(kScreen.right() + 1 - size.width(),
                                       kScreen.bottom() + 1 - size.height());
                     }}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace e2e
