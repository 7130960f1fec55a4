#include "app/preferencesfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillcap;
using Result = PreferencesFile::LoadResult;

namespace {

class PreferencesFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString prefs() const { return dir.filePath("qcapprf.txt"); }
    QString logPath() const { return dir.filePath("QuillCap.log"); }

    void writeFile(const QByteArray &content) {
        QFile file(prefs());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray logText() {
        QFile file(logPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString existingFile(const char *name) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        return file.fileName();
    }
};

// Every key away from its default.
void setEveryKey(AppState &s, const QString &sound, const QString &error) {
    s.settings = {.saveFolder = "/tmp/shots",
                  .prefix = " shot_$date ",
                  .fileTypeIndex = 3,
                  .startMinimized = 1,
                  .showMsg = 0,
                  .playSound = 0,
                  .showMouse = 1,
                  .showInTaskbar = 1};
    s.SoundFilePath = sound;
    s.ErrorSoundPath = error;
    s.lastNormalPosition = QPoint(-19200, 1500);
    s.LastOverrideName = "one off";
    s.NumberOfSnaps = 1234;
}

} // namespace

TEST_F(PreferencesFileTest, WritesTwentyEightCrLfLinesExactly) {
    AppState s;
    setEveryKey(s, "/a/capture.wav", "/a/error.wav");
    EXPECT_EQ(PreferencesFile::Serialize(s),
              "DEBUGLOG\r\nFalse\r\nSAVEFOLDER\r\n/tmp/shots\r\nPREFIX\r\n: shot_$date :\r\n"
              "FILETYPEINDEX\r\n 3 \r\nSTARTMINIMIZED\r\n 1 \r\n"
              "SOUNDPATHS\r\n/a/capture.wav\r\n/a/error.wav\r\nSHOWMESSAGE\r\n 0 \r\n"
              "POSITION\r\n-19200 \r\n 1500 \r\nPLAYSOUND\r\n 0 \r\nSHOWMOUSE\r\n 1 \r\n"
              "LASTOVERRIDENAME\r\none off\r\nNUMBEROFSNAPS\r\n 1234 \r\nSYSTEMTRAY\r\n 1 \r\n");
}

TEST_F(PreferencesFileTest, EveryKeySurvivesARoundTrip) {
    AppState saved;
    setEveryKey(saved, existingFile("c.wav"), existingFile("e.wav"));
    QString error;
    ASSERT_TRUE(PreferencesFile::Write(prefs(), saved, &error)) << error.toStdString();
    AppState loaded;
    ASSERT_EQ(PreferencesFile::Read(prefs(), loaded, logPath()), Result::Loaded);
    EXPECT_EQ(loaded.settings.prefix, " shot_$date ") << "blanks kept by the colons";
    loaded.lastNormalPosition = loaded.loadedPosition.value_or(QPoint());
    EXPECT_EQ(PreferencesFile::Serialize(loaded), PreferencesFile::Serialize(saved));
    EXPECT_FALSE(QFile::exists(logPath())) << "DEBUGLOG False touches no log";
}

TEST_F(PreferencesFileTest, ABadValueStopsTheLoadAndKeepsWhatCameBefore) {
    const struct {
        const char *what;
        QByteArray file;
        bool endsTheFile = false;
    } cases[] = {
        {"prefix of one colon", "PREFIX\r\n:\r\n"},
        {"empty prefix line", "PREFIX\r\n\r\n"},
        {"type beyond TIF", "FILETYPEINDEX\r\n 5 \r\n"},
        {"check box 3", "PLAYSOUND\r\n 3 \r\n"},
        {"boolean word", "DEBUGLOG\r\nmaybe\r\n"},
        {"show mouse with trailing text", "SHOWMOUSE\r\n1abc\r\n"},
        {"snaps beyond 32 bits", "NUMBEROFSNAPS\r\n 3000000000 \r\n"},
        {"small integer beyond 16 bits", "STARTMINIMIZED\r\n 40000 \r\n"},
        {"file ends where a value belongs", "SOUNDPATHS\r\n/x\r\n", true},
        {"position cut short", "POSITION\r\n 15 \r\n", true},
        {"line over 64 KiB", "LASTOVERRIDENAME\r\n" + QByteArray(70 * 1024, 'x') + "\r\n"},
        {"binary garbage without line ends", QByteArray(200 * 1024, '\x01')},
    };
    for (const auto &c : cases) {
        writeFile("SAVEFOLDER\r\n/kept\r\n" + c.file +
                  (c.endsTheFile ? QByteArray() : QByteArray("NUMBEROFSNAPS\r\n 9 \r\n")));
        AppState s;
        EXPECT_EQ(PreferencesFile::Read(prefs(), s, logPath()), Result::Problem) << c.what;
        EXPECT_EQ(s.settings.saveFolder, "/kept") << c.what;
        EXPECT_EQ(s.NumberOfSnaps, 0) << c.what << ": nothing after the error is read";
    }
}

TEST_F(PreferencesFileTest, ValuesReadLenientlyWhereTheFileAlwaysWasLenient) {
    writeFile("FILETYPEINDEX\n 3 \nSHOWMESSAGE\n0 unchecked\nNUMBEROFSNAPS\n 12.5 \n"
              "DEBUGLOG\n-1\nPOSITION\n 1507.5 \nabc\n  SYSTEMTRAY  \n 2 \n");
    AppState s;
    ASSERT_EQ(PreferencesFile::Read(prefs(), s, logPath()), Result::Loaded);
    EXPECT_EQ(s.settings.fileTypeIndex, 3);
    EXPECT_EQ(s.settings.showMsg, 0);
    EXPECT_EQ(s.NumberOfSnaps, 12) << "halves go to the even neighbour";
    EXPECT_TRUE(s.log.Logging) << "a non-zero number is true";
    EXPECT_EQ(s.loadedPosition, QPoint(1508, 0));
    EXPECT_EQ(s.settings.showInTaskbar, 2);
}

TEST_F(PreferencesFileTest, UnknownKeysAreLoggedAndTheirValueIsReadAsAKey) {
    writeFile("DEBUGLOG\r\nTrue\r\nFUTUREKEY\r\nsome value\r\nprefix\r\n:x:\r\n\r\n"
              "PREFIX\r\n:mine:\r\n");
    AppState s;
    ASSERT_EQ(PreferencesFile::Read(prefs(), s, logPath()), Result::Loaded);
    s.log.CloseLogFile();
    EXPECT_EQ(s.settings.prefix, "mine") << "keys match exactly";
    EXPECT_TRUE(logText().endsWith("Load prefs COULD NOT FIND ENTRY >> FUTUREKEY\r\n"
                                   "Load prefs COULD NOT FIND ENTRY >> some value\r\n"
                                   "Load prefs COULD NOT FIND ENTRY >> prefix\r\n"
                                   "Load prefs COULD NOT FIND ENTRY >> :x:\r\n"
                                   "Load prefs COULD NOT FIND ENTRY >> \r\n"
                                   "    loading prefs : PREFIX >:mine:\r\n"));
}

TEST_F(PreferencesFileTest, SoundPathsApplyOnlyWhenTheFileExists) {
    const QString present = existingFile("mine.wav");
    writeFile(
        ("DEBUGLOG\r\nTrue\r\nSOUNDPATHS\r\n  " + present + "  \r\n/gone/error.wav\r\n").toUtf8());
    AppState s;
    s.SoundFilePath = "/default/capture.wav";
    s.ErrorSoundPath = "/default/error.wav";
    ASSERT_EQ(PreferencesFile::Read(prefs(), s, logPath()), Result::Loaded);
    s.log.CloseLogFile();
    EXPECT_TRUE(logText().endsWith(("    loading prefs : SOUNDPATHS\r\n           " + present +
                                    "\r\n           /default/error.wav\r\n")
                                       .toUtf8()));
}

TEST_F(PreferencesFileTest, AMissingFileIsNoProblemAnUnreadableOneOrLogIs) {
    AppState s;
    EXPECT_EQ(PreferencesFile::Read(prefs(), s, logPath()), Result::NoFile);
    writeFile("DEBUGLOG\r\nTrue\r\nNUMBEROFSNAPS\r\n 4 \r\n");
    EXPECT_EQ(PreferencesFile::Read(prefs(), s, prefs() + "/QuillCap.log"), Result::Problem)
        << "the log cannot be created";
    EXPECT_EQ(s.NumberOfSnaps, 0);
    ASSERT_TRUE(QFile::remove(prefs()) && QDir(dir.path()).mkdir("qcapprf.txt"));
    EXPECT_EQ(PreferencesFile::Read(prefs(), s, logPath()), Result::Unreadable)
        << "a folder where the file belongs cannot be read";
}

TEST_F(PreferencesFileTest, AValueNeverSpillsAndAFailedWriteIsReported) {
    AppState s;
    s.settings.saveFolder = "line\nbreak";
    EXPECT_TRUE(PreferencesFile::Serialize(s).contains("SAVEFOLDER\r\nlinebreak\r\n"));
    writeFile("PREFIX\r\n:old:\r\n");
    QString error;
    EXPECT_FALSE(PreferencesFile::Write(dir.filePath("qcapprf.txt/inside"), s, &error));
    EXPECT_FALSE(error.isEmpty());
}
