#include "app/debuglog.h"
#include "output/qtsoundplayer.h"

#include <gtest/gtest.h>

using namespace quillcap;

// A player that never returns ends at the test's time limit.
TEST(QtSoundPlayer, ReturnsForAMissingFileAndWhenTheOutputNeverAnswers) {
    const QString sounds = QStringLiteral(QUILLCAP_SOUNDS);
    DebugLog log;
    QtSoundPlayer player(log);
    EXPECT_FALSE(player.PlaySoundFile(sounds + "/nothing-here.wav"));
    // Qt then tries to play; with no device it never reports the end.
    player.hasAudioOutput = [] { return true; };
    player.PlaySoundFile(sounds + "/capture.wav");
}
