#include "TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace {

using SettingsFileTest = TempHome;

// A file from scratch holds every start value in writing order; a save into a
// file keeps its other lines, and COMP as the user wrote it while it is on.
TEST_F(SettingsFileTest, ASaveWritesEveryStartValueInOrderAndKeepsTheLinesItFinds)
{
    ASSERT_TRUE(sLoadSettings());
    Settings.MAIL.PASS = Settings.FTP.PASS = Settings.EXT.MQTTPASS = "bcd";
    Settings.TRG[3].ENABLED = "True";
    Settings.EXT.BGUPLOAD = true;
    ASSERT_TRUE(sSaveSettings());
    EXPECT_EQ(QFile::permissions(iniPath()) & 0x0077, 0) << "the passwords readable by others";
    QByteArray expected =
        "[COM]\nTIMER=20\nCKSUM=100\nSOUND=\nACCURACY=1\nNOIZE=0\nCOMP=OFF\n"
        "[MAIL]\nMAIL=\nSMTP=\nPOP=\nUSER=\nPASS=abc\nATT=\nOPTATT=\nAtCRAM=\nSMTPUSER=\nSMTPPASS=\n";
    for (int n = 0; n < 4; ++n) {
        expected += "[" + QByteArray::number(n) + "TRG]\nENABLED=" + (n == 3 ? "True" : "")
                    + "\nMAILTO=\nSUBJECT=\nBODY=\nGRP=0\nFILES=\nMINSIZE=0\nARC=0\n";
    }
    expected += "[FTP]\nMOVE=False\nFTP=False\nHOST=\nUSER=\nPASS=abc\nHOLDER=\nFILENAME=False\nTIME=5\nAUDIO=\n";
    expected += "[EXT]\nCAMERA=\nPRETIME=0\nBGUPLOAD=True\nLIGHTCUT=False\nKEEPMB=0\nKEEPDAYS=0\nKEEPWATCH=False\nMASK=False\n"
                "LANG=\nWEBPORT=0\nWEBBIND=\nWEBUSER=\nWEBHASH=\nWEBCERT=\nWEBKEY=\nONALARM=\nONALARMOVER=\n"
                "MQTT=\nMQTTUSER=\nMQTTPASS=abc\nMQTTTLS=False\nMQTTTOPIC=\nNOTIFY=False\nFTPMODE=\n";
    EXPECT_EQ(readIni(), expected);

    // A file copied in readable by its group is the user's alone once read; one
    // kept elsewhere through a link is replaced there, the link kept.
    const QString kept = writeFileBytes(path("kept.ini"), "; my notes\r\n[COM]\r\nCOMP = ON\r\nNOIZE=0\r\n[Extra]\r\nx=1\r\n");
    ASSERT_TRUE(QFile::remove(iniPath()) && QFile::link(kept, iniPath()));
    ASSERT_TRUE(QFile::setPermissions(kept, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(sLoadSettings());
    EXPECT_EQ(QFile::permissions(iniPath()) & 0x0777, QFile::ReadUser | QFile::WriteUser);
    ASSERT_TRUE(Settings.COM.COMP);
    Settings.COM.NOIZE = true;
    ASSERT_TRUE(sSaveSettings());
    EXPECT_TRUE(QFileInfo(iniPath()).isSymLink());
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
    ASSERT_TRUE(QFile::link(path("win/media/ding.wav"), path("win/media/link.wav")));
    qputenv("WINDIR", QFile::encodeName(path("win")));
    static int warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) { ++warnings; });
    const std::tuple<QByteArray, QString, QString> rows[] = {  // stored, SOUND, SoundPath
        {"ding.wav", "ding.wav", QFileInfo(path("win/media/ding.wav")).canonicalFilePath()},
        {"link.wav", "link.wav", QFileInfo(path("win/media/ding.wav")).canonicalFilePath()},
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

QByteArray garbage(qsizetype size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator(20240229).fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

// Each file ends with a COM section, so a load that survives it must still find TIMER.
TEST_F(SettingsFileTest, HostileFilesLoadAndSaveWithoutHarm)
{
    const std::pair<const char*, QByteArray> files[] = {
        {"10 MB of garbage lines", garbage(10 << 20).replace('[', 'x')},
        {"lines of 100,000 characters",
         "[" + QByteArray(100000, 'S') + "]\n" + QByteArray(100000, 'k') + "=" + QByteArray(100000, 'v') + "\n"},
        {"100,000 sections", QByteArray("[s]\nk=v\n").repeated(100000)},
        {"NUL bytes and lone CRs", QByteArray("\0\0[\r]\r\r=\0=\n", 12).repeated(1000)},
    };
    for (const auto& [name, bytes] : files) {
        Settings = SettingsRecord{};
        const QByteArray content = bytes + "\n[COM]\nTIMER=7\n[2TRG]\nBODY=" + QByteArray(100000, 'b') + "\n";
        writeIni(content);
        ASSERT_TRUE(sLoadSettings()) << name;
        EXPECT_EQ(Settings.COM.TIMER, 7) << name;
        EXPECT_EQ(Settings.TRG[2].BODY.size(), 199) << name;

        Settings.COM.TIMER = 9;
        ASSERT_TRUE(sSaveSettings()) << name;
        EXPECT_TRUE(readIni().startsWith(bytes)) << name << ": the lines before are kept";
        Settings = SettingsRecord{};
        ASSERT_TRUE(sLoadSettings()) << name;
        EXPECT_EQ(Settings.COM.TIMER, 9) << name;
    }
}

}  // namespace
