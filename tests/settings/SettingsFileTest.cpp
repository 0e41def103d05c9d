#include "TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

namespace {

using SettingsFileTest = TempHome;

constexpr int kLoadFails = -99;

TEST_F(SettingsFileTest, LoadClampsNormalisesAndRefusesWhatIsNoNumber)
{
    const auto timer = [] { return int(Settings.COM.TIMER); };
    const auto cksum = [] { return int(Settings.COM.CKSUM); };
    const auto accuracy = [] { return int(Settings.COM.ACCURACY); };
    const auto arc = [] { return int(Settings.TRG[2].ARC); };
    const auto time = [] { return int(Settings.FTP.TIME); };
    const auto noise = [] { return int(Settings.COM.NOIZE); };
    const auto comp = [] { return int(Settings.COM.COMP); };
    const auto moveIsTrue = [] { return int(Settings.FTP.MOVE == "True"); };
    const struct {
        QByteArray file;
        std::function<int()> field;
        int expected;  // kLoadFails: the load reports failure
    } cases[] = {
        {"[COM]\nTIMER=0\n", timer, 20}, {"[COM]\nTIMER=51\n", timer, 50}, {"[COM]\nTIMER=-32768\n", timer, 20},
        {"[COM]\nCKSUM=10000\n", cksum, 9999}, {"[COM]\nACCURACY=0\n", accuracy, 1},
        {"[COM]\nACCURACY=101\n", accuracy, 100}, {"[FTP]\nTIME=31\n", time, 30},
        {"[2TRG]\nARC=-5\n", arc, 1}, {"[2TRG]\nARC=0\n", arc, 0}, {"[2TRG]\nARC=250\n", arc, 100},
        {"[FTP]\nTIME=4\n", time, 5}, {"[FTP]\nTIME= 12 \n", time, 12}, {"[FTP]\nTIME=12.5\n", time, 12},
        {"[FTP]\nTIME=12abc\n", time, kLoadFails}, {"[FTP]\nTIME=32768\n", time, kLoadFails},
        {"[COM]\nNOIZE=2\n", noise, 1}, {"[COM]\nNOIZE=-1\n", noise, 0},
        {"[COM]\nCOMP=ON\n", comp, 1}, {"[COM]\nCOMP=on\n", comp, 0}, {"[FTP]\nMOVE=true\n", moveIsTrue, 0},
    };
    for (const auto& c : cases) {
        Settings = SettingsRecord{};
        writeIni(c.file);
        EXPECT_EQ(sLoadSettings(), c.expected != kLoadFails) << c.file.constData();
        if (c.expected != kLoadFails) {
            EXPECT_EQ(c.field(), c.expected) << c.file.constData();
        }
    }
}

// Blanks inside a value's quotes are trimmed once the quotes are gone, as the
// classic reader does; only an escaped value keeps them.
TEST_F(SettingsFileTest, ValuesLoseBlanksInsideTheirQuotes)
{
    writeIni("[MAIL]\nMAIL=\" watcher@example.net\t\"\n[1TRG]\nSUBJECT=\"  Houndly \"\n[FTP]\nHOLDER=\" clips \"\n");
    ASSERT_TRUE(sLoadSettings());
    EXPECT_EQ(Settings.MAIL.MAIL, "watcher@example.net");
    EXPECT_EQ(Settings.TRG[1].SUBJECT, "Houndly");
    EXPECT_EQ(Settings.FTP.HOLDER, "clips");
}

TEST_F(SettingsFileTest, AFailingKeyStopsTheLoadThere)
{
    writeIni("[COM]\nTIMER=7\nCKSUM=1e9\nACCURACY=50\n[MAIL]\nMAIL=a@b\n");
    Settings.COM.CKSUM = -3;
    EXPECT_FALSE(sLoadSettings());
    EXPECT_EQ(Settings.COM.TIMER, 7);
    EXPECT_EQ(Settings.COM.CKSUM, -3);  // kept, and not clamped
    EXPECT_EQ(Settings.COM.ACCURACY, 0);
    EXPECT_EQ(Settings.MAIL.MAIL, "");
}

TEST_F(SettingsFileTest, AFileFromScratchHoldsEveryStartValueInWritingOrder)
{
    ASSERT_TRUE(sLoadSettings());
    Settings.MAIL.PASS = "bcd";
    Settings.TRG[3].ENABLED = "True";
    ASSERT_TRUE(sSaveSettings());
    QByteArray expected =
        "[COM]\nTIMER=20\nCKSUM=100\nSOUND=\nACCURACY=1\nNOIZE=0\nCOMP=OFF\n"
        "[MAIL]\nMAIL=\nSMTP=\nPOP=\nUSER=\nPASS=abc\nATT=\nOPTATT=\nAtCRAM=\nSMTPUSER=\nSMTPPASS=\n";
    for (int n = 0; n < 4; ++n) {
        expected += "[" + QByteArray::number(n) + "TRG]\nENABLED=" + (n == 3 ? "True" : "")
                    + "\nMAILTO=\nSUBJECT=\nBODY=\nGRP=0\nFILES=\nMINSIZE=0\nARC=0\n";
    }
    expected += "[FTP]\nMOVE=False\nFTP=False\nHOST=\nUSER=\nPASS=\nHOLDER=\nFILENAME=False\nTIME=5\nAUDIO=\n";
    expected += "[EXT]\nCAMERA=\nPRETIME=0\nBGUPLOAD=False\nLIGHTCUT=False\nKEEPMB=0\nKEEPDAYS=0\n";
    EXPECT_EQ(readIni(), expected);
}

TEST_F(SettingsFileTest, ExtendedOptionsNeverFailTheLoadAndSurviveASave)
{
    const auto pretime = [] { return int(Settings.EXT.PRETIME); };
    const auto keepMb = [] { return int(Settings.EXT.KEEPMB); };
    const auto keepDays = [] { return int(Settings.EXT.KEEPDAYS); };
    const auto lightCut = [] { return int(Settings.EXT.LIGHTCUT); };
    const auto background = [] { return int(Settings.EXT.BGUPLOAD); };
    const struct {
        QByteArray file;
        std::function<int()> field;
        int expected;
    } cases[] = {
        {"[EXT]\nPRETIME=11\n", pretime, 10}, {"[EXT]\nPRETIME=-1\n", pretime, 0},
        {"[EXT]\nPRETIME=soon\n", pretime, 0}, {"[EXT]\nPRETIME= 4 \n", pretime, 4},
        {"[EXT]\nKEEPMB=70000\n", keepMb, 70000}, {"[EXT]\nKEEPMB=-5\n", keepMb, 0},
        {"[EXT]\nKEEPDAYS=99999\n", keepDays, 32767}, {"[EXT]\nLIGHTCUT=True\n", lightCut, 1},
        {"[EXT]\nLIGHTCUT=true\n", lightCut, 0}, {"[EXT]\nBGUPLOAD=True\n", background, 1},
    };
    for (const auto& c : cases) {
        Settings = SettingsRecord{};
        writeIni("[COM]\nTIMER=7\n" + c.file);
        ASSERT_TRUE(sLoadSettings()) << c.file.constData();
        EXPECT_EQ(c.field(), c.expected) << c.file.constData();
        EXPECT_EQ(Settings.COM.TIMER, 7);
    }

    Settings.EXT = {QStringLiteral("rtsp://cam.local/live"), 3, true, true, 250000, 14};
    ASSERT_TRUE(sSaveSettings());
    Settings = SettingsRecord{};
    ASSERT_TRUE(sLoadSettings());
    EXPECT_EQ(Settings.EXT.CAMERA, "rtsp://cam.local/live");
    EXPECT_EQ(Settings.EXT.PRETIME, 3);
    EXPECT_TRUE(Settings.EXT.BGUPLOAD && Settings.EXT.LIGHTCUT);
    EXPECT_EQ(Settings.EXT.KEEPMB, 250000);
    EXPECT_EQ(Settings.EXT.KEEPDAYS, 14);
}

TEST_F(SettingsFileTest, SavingKeepsCompOnAndOtherLines)
{
    writeIni("; my notes\r\n[COM]\r\nCOMP = ON\r\nNOIZE=0\r\n[Extra]\r\nx=1\r\n");
    ASSERT_TRUE(sLoadSettings());
    ASSERT_TRUE(Settings.COM.COMP);
    Settings.COM.NOIZE = true;
    ASSERT_TRUE(sSaveSettings());
    const QByteArray after = readIni();
    EXPECT_TRUE(after.startsWith("; my notes\r\n[COM]\r\nCOMP = ON\r\nNOIZE=1\r\n")) << after.constData();
    EXPECT_TRUE(after.contains("[Extra]\r\nx=1\r\n"));
    EXPECT_FALSE(after.contains("COMP=OFF"));
}

// A stored name that holds a NUL names no file: it is no sound, and it never
// reaches the file functions (which would warn about it).
TEST_F(SettingsFileTest, SoundPathIsTheCanonicalPathOfAnExistingSound)
{
    QDir().mkpath(path("win/media"));
    writeFileBytes(path("win/media/ding.wav"), "RIFF");
    qputenv("WINDIR", QFile::encodeName(path("win")));
    static int warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) { ++warnings; });
    const std::tuple<QByteArray, QString, QString> rows[] = {  // stored, SOUND, SoundPath
        {"ding.wav", "ding.wav", QFileInfo(path("win/media/ding.wav")).canonicalFilePath()},
        {"gone.wav", "gone.wav", ""},
        {QByteArray("ding\0.wav", 9), "", ""},
        {QByteArray("\0", 1), "", ""},
    };
    for (const auto& [stored, sound, soundPath] : rows) {
        Settings = SettingsRecord{};
        writeIni("[COM]\nSOUND=" + stored + "\n");
        ASSERT_TRUE(sLoadSettings());
        EXPECT_EQ(Settings.COM.SOUND, sound) << stored.toHex().constData();
        EXPECT_EQ(Settings.COM.SoundPath, soundPath) << stored.toHex().constData();
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings, 0);
    qunsetenv("WINDIR");
}

}  // namespace
