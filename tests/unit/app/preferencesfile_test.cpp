#include "app/preferencesfile.h"
#include "files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace quillcap;
using Result = PreferencesFile::LoadResult;

namespace {

class PreferencesFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString prefs() const { return dir.filePath("qcapprf.txt"); }
    // Creates the file (empty unless given content) and gives its path.
    QString writeFile(const QByteArray &content, const char *name = "qcapprf.txt") {
        EXPECT_TRUE(::writeFile(dir.filePath(name), content));
        return dir.filePath(name);
    }
    Result read(AppState &s) { return PreferencesFile::Read(prefs(), s, dir.filePath("log")); }
};

} // namespace

TEST_F(PreferencesFileTest, EveryKeyIsWrittenInTwentyEightCrLfLinesAndReadBack) {
    AppState saved;
    // Folder, template, type, minimized, message, sound, pointer, taskbar.
    saved.settings = {"/tmp/sh\nots", " shot_$date ", 3, 1, 0, 0, 1, 1}; // no line spills
    saved.SoundFilePath = writeFile({}, "c.wav");
    saved.ErrorSoundPath = writeFile({}, "e.wav");
    saved.lastNormalPosition = QPoint(-19200, 1500);
    saved.LastOverrideName = "one off";
    saved.NumberOfSnaps = 1234;
    const QByteArray text = PreferencesFile::Serialize(saved);
    EXPECT_EQ(text, "DEBUGLOG\r\nFalse\r\nSAVEFOLDER\r\n/tmp/shots\r\nPREFIX\r\n: shot_$date :\r\n"
                    "FILETYPEINDEX\r\n 3 \r\nSTARTMINIMIZED\r\n 1 \r\nSOUNDPATHS\r\n" +
                        saved.SoundFilePath.toUtf8() + "\r\n" + saved.ErrorSoundPath.toUtf8() +
                        "\r\nSHOWMESSAGE\r\n 0 \r\nPOSITION\r\n-19200 \r\n 1500 \r\n"
                        "PLAYSOUND\r\n 0 \r\nSHOWMOUSE\r\n 1 \r\nLASTOVERRIDENAME\r\none off\r\n"
                        "NUMBEROFSNAPS\r\n 1234 \r\nSYSTEMTRAY\r\n 1 \r\n");
    QString error;
    ASSERT_TRUE(PreferencesFile::Write(prefs(), saved, &error)) << error.toStdString();
    AppState loaded;
    ASSERT_EQ(read(loaded), Result::Loaded);
    loaded.lastNormalPosition = loaded.loadedPosition.value_or(QPoint());
    EXPECT_EQ(PreferencesFile::Serialize(loaded), text) << "blanks kept by the colons";
    EXPECT_FALSE(QFile::exists(dir.filePath("log"))) << "DEBUGLOG False touches no log";
    EXPECT_FALSE(PreferencesFile::Write(prefs() + "/inside", saved, &error));
    EXPECT_FALSE(error.isEmpty()) << "a failed write says why";
}

TEST_F(PreferencesFileTest, ABadValueStopsTheLoadAndKeepsWhatCameBefore) {
    const QByteArray after = "NUMBEROFSNAPS\r\n 9 \r\n";
    const std::pair<const char *, QByteArray> cases[] = {
        {"prefix of one colon", "PREFIX\r\n:\r\n" + after},
        {"type beyond TIF", "FILETYPEINDEX\r\n 5 \r\n" + after},
        {"check box 3", "PLAYSOUND\r\n 3 \r\n" + after},
        {"boolean word", "DEBUGLOG\r\nmaybe\r\n" + after},
        {"show mouse with trailing text", "SHOWMOUSE\r\n1abc\r\n" + after},
        {"snaps beyond 32 bits", "NUMBEROFSNAPS\r\n 3000000000 \r\n" + after},
        {"small integer beyond 16 bits", "STARTMINIMIZED\r\n 40000 \r\n" + after},
        {"file ends where a value belongs", "SOUNDPATHS\r\n/x\r\n"},
        {"line over 64 KiB", "LASTOVERRIDENAME\r\n" + QByteArray(70 * 1024, 'x') + "\r\n" + after},
        {"binary garbage without line ends", QByteArray(200 * 1024, '\x01') + after},
    };
    for (const auto &[what, file] : cases) {
        writeFile("SAVEFOLDER\r\n/kept\r\n" + file);
        AppState s;
        EXPECT_EQ(read(s), Result::Problem) << what;
        EXPECT_EQ(s.settings.saveFolder, "/kept") << what;
        EXPECT_EQ(s.NumberOfSnaps, 0) << what << ": nothing after the error is read";
    }
}

TEST_F(PreferencesFileTest, ValuesAndKeysAreReadLenientlyWhereTheFileAlwaysWasLenient) {
    // Random bytes split into lines are unknown keys, each skipped alone.
    std::mt19937 random(20240611);
    QByteArray garbage(64 * 1024, '\0');
    for (char &b : garbage)
        b = char(random() & 0xff);
    const QString sound = writeFile({}, "mine.wav");
    writeFile(garbage +
              "\r\nSHOWMESSAGE\n0 unchecked\nNUMBEROFSNAPS\n 12.5 \nDEBUGLOG\n-1\n"
              "POSITION\n 1507.5 \nabc\n  SYSTEMTRAY  \n 2 \nPREFIX\r\n:mine:\r\n"
              "prefix\r\n:x:\r\nSOUNDPATHS\r\n  " +
              sound.toUtf8() + "  \r\n/gone/error.wav\r\nFUTUREKEY\r\nSHOWMOUSE\r\n 1 \r\n");
    AppState s;
    s.ErrorSoundPath = "/default/error.wav";
    ASSERT_EQ(read(s), Result::Loaded);
    EXPECT_EQ(s.settings.showMsg, 0);
    EXPECT_EQ(s.NumberOfSnaps, 12);
    EXPECT_TRUE(s.log.Logging);
    EXPECT_EQ(s.loadedPosition, QPoint(1508, 0));
    EXPECT_EQ(s.settings.showInTaskbar, 2) << "keys are trimmed, check boxes may be greyed";
    EXPECT_EQ(s.settings.prefix, "mine") << "keys match exactly";
    EXPECT_EQ(s.SoundFilePath, sound) << "a sound path applies when its file exists";
    EXPECT_EQ(s.ErrorSoundPath, "/default/error.wav");
    EXPECT_EQ(s.settings.showMouse, 1) << "the line after an unknown key is read as a key";
}

TEST_F(PreferencesFileTest, AMissingFileIsNoProblemAnUnreadableOneOrLogIs) {
    AppState s;
    EXPECT_EQ(read(s), Result::NoFile);
    writeFile("DEBUGLOG\r\nTrue\r\nNUMBEROFSNAPS\r\n 4 \r\n");
    EXPECT_EQ(PreferencesFile::Read(prefs(), s, prefs() + "/QuillCap.log"), Result::Problem)
        << "the log cannot be created";
    EXPECT_EQ(s.NumberOfSnaps, 0);
    ASSERT_TRUE(QFile::remove(prefs()) && QDir(dir.path()).mkdir("qcapprf.txt"));
    EXPECT_EQ(read(s), Result::Unreadable) << "a folder where the file belongs cannot be read";
}
