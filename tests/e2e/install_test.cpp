// The program as a user installs it: into a prefix of its own, away from
// the build tree, it starts, finds its sounds there and stops on the signal.
#include "e2e.h"

namespace e2e {
namespace {

using Installed = E2e;

TEST_F(Installed, FromAnyPrefixItStartsFindsItsSoundsAndStopsCleanly) {
    const QString prefix = home.root() + "/prefix";
    ASSERT_TRUE(x->run(CMAKE_COMMAND, {"--install", QUILLCAP_BUILD_DIR, "--prefix", prefix}))
        << why();
    for (const char *file :
         {"share/applications/quillcap.desktop", "share/icons/hicolor/scalable/apps/quillcap.svg",
          "share/icons/hicolor/48x48/apps/quillcap.png", "share/quillcap/error.wav"})
        EXPECT_TRUE(QFileInfo(prefix + "/" + file).size() > 0) << file;
    EXPECT_TRUE(x->run("desktop-file-validate", {prefix + "/share/applications/quillcap.desktop"}))
        << why();

    QuillCap app(*x, home.environment(*x), {prefix + "/bin/quillcap"});
    ASSERT_TRUE(app.waitForMainWindow() && app.stop()) << why();
    EXPECT_EQ(home.setting("SOUNDPATHS"), prefix + "/share/quillcap/capture.wav");
}

} // namespace
} // namespace e2e
