#include "TempHome.h"

#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using StoredFormsTest = TempHome;

QByteArray iniLine(const QByteArray& file, const QByteArray& key)
{
    for (const QByteArray& line : file.split('\n')) {
        if (line.startsWith(key + "=")) {
            return line.mid(key.size() + 1);
        }
    }
    return "<absent>";
}

TEST_F(StoredFormsTest, PasswordsSurviveASaveAndALoad)
{
    const QString passwords[] = {"plain", "!first", "last!", "!both!", "#hash#", "(paren(", "#", "!",
                                 "##", "a b", "\"q\"", "'s'", "パスワード", "ﾊﾟｽ", "tab\tin", "a\\:b"};
    for (const QString& password : passwords) {
        Settings = SettingsRecord{};
        Settings.MAIL.PASS = password;
        Settings.MAIL.SMTPPASS = password;
        ASSERT_TRUE(sSaveSettings()) << password.toStdString();
        Settings = SettingsRecord{};
        ASSERT_TRUE(sLoadSettings()) << password.toStdString();
        EXPECT_EQ(Settings.MAIL.PASS, password);
        EXPECT_EQ(Settings.MAIL.SMTPPASS, password);
    }
}

TEST_F(StoredFormsTest, PasswordsAreStoredAsTheOriginalStoresThemWhereItReadsThemBack)
{
    const struct {
        QString password;
        QByteArray stored;
    } cases[] = {
        {"bcd", "abc"},
        {"#bcd#", "\"\"abc\"\""},  // the original reader removes one pair of quotes
        {"!bcd", "\" abc\""},
        {"", ""},
    };
    for (const auto& c : cases) {
        Settings.FTP.PASS = c.password;
        ASSERT_TRUE(sSaveSettings());
        const QByteArray file = readIni();
        EXPECT_EQ(iniLine(file.mid(file.indexOf("[FTP]")), "PASS"), c.stored) << c.password.toStdString();
    }
}

TEST_F(StoredFormsTest, PasswordsWrittenByTheOriginalAreReadWhole)
{
    // "#bcd#" and "(bcd(" shifted, as the original wrote them.
    writeIni("[MAIL]\nPASS=\"abc\"\nSMTPPASS='abc'\n");
    ASSERT_TRUE(sLoadSettings());
    EXPECT_EQ(Settings.MAIL.PASS, "#bcd#");
    EXPECT_EQ(Settings.MAIL.SMTPPASS, "(bcd(");
}

TEST_F(StoredFormsTest, MultiLineValuesSurviveAndSingleLineOnesAreStoredAsTheyAre)
{
    const QString body = "Someone is here.\r\nLine two\n\n\tindented \\n not a break\rlast ";
    Settings.TRG[0].BODY = body;
    Settings.TRG[1].BODY = "one line \\ with a backslash";
    Settings.TRG[2].BODY = "\\:looks escaped";
    ASSERT_TRUE(sSaveSettings());
    const QByteArray file = readIni();
    for (const QByteArray& line : file.trimmed().split('\n')) {
        EXPECT_TRUE(line.startsWith('[') || line.contains('=')) << "a line of its own: " << line.constData();
    }
    EXPECT_TRUE(file.contains("\nBODY=one line \\ with a backslash\n"));
    Settings = SettingsRecord{};
    ASSERT_TRUE(sLoadSettings());
    EXPECT_EQ(Settings.TRG[0].BODY, body);
    EXPECT_EQ(Settings.TRG[1].BODY, "one line \\ with a backslash");
    EXPECT_EQ(Settings.TRG[2].BODY, "\\:looks escaped");
}

TEST_F(StoredFormsTest, ShiftJisFileIsReadAndWrittenBackAsShiftJis)
{
    // "ぱす" stored shifted by one code page 932 code: 82CF 82B7 become 82CE 82B6.
    const QByteArray before = toShiftJis(QStringLiteral("; 設定\r\n[MAIL]\r\nUSER=やまだ\r\nPASS="))
                              + QByteArray::fromHex("82ce82b6") + "\r\n";
    writeIni(before);
    ASSERT_TRUE(sLoadSettings());
    EXPECT_EQ(Settings.MAIL.USER, QStringLiteral("やまだ"));
    EXPECT_EQ(Settings.MAIL.PASS, QStringLiteral("ぱす"));
    Settings.TRG[0].SUBJECT = QStringLiteral("警報");
    ASSERT_TRUE(sSaveSettings());
    const QByteArray after = readIni();
    EXPECT_TRUE(after.startsWith(before.left(before.indexOf("PASS")))) << "untouched lines kept";
    EXPECT_TRUE(after.contains(QByteArray::fromHex("82ce82b6"))) << "password shifted in code page 932";
    EXPECT_TRUE(after.contains(toShiftJis(QStringLiteral("SUBJECT=警報\r\n"))));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(after);
    EXPECT_TRUE(utf8.hasError()) << "still Shift-JIS";
    Settings = SettingsRecord{};
    ASSERT_TRUE(sLoadSettings());
    EXPECT_EQ(Settings.MAIL.PASS, QStringLiteral("ぱす"));
    EXPECT_EQ(Settings.TRG[0].SUBJECT, QStringLiteral("警報"));
}

TEST_F(StoredFormsTest, AKeyThatCannotBeWrittenDoesNotStopTheSave)
{
    writeIni(toShiftJis(QStringLiteral("; 設定\r\n[MAIL]\r\nPASS=old\r\n")));
    Settings.MAIL.PASS = QString::fromUtf8("\xF0\x9F\x90\x95");  // no code page 932 form
    Settings.TRG[0].BODY = QString::fromUtf8("\xF0\x9F\x90\x95");
    Settings.FTP.HOST = "after.example.org";
    EXPECT_FALSE(sSaveSettings());
    const QByteArray after = readIni();
    EXPECT_TRUE(after.contains("PASS=old\r\n"));
    EXPECT_TRUE(after.contains("HOST=after.example.org\r\n"));
}

TEST_F(StoredFormsTest, AnUnshiftableCharacterKeepsTheOldLineAndTheKeysAfterIt)
{
    writeIni("[MAIL]\nSMTPPASS=old\n");
    Settings.MAIL.SMTPPASS = QString(QChar(0xE000));  // one below is a surrogate
    Settings.FTP.USER = "after";
    EXPECT_FALSE(sSaveSettings());
    const QByteArray after = readIni();
    EXPECT_TRUE(after.contains("SMTPPASS=old\n"));
    EXPECT_TRUE(after.mid(after.indexOf("[FTP]")).contains("\nUSER=after\n"));
}

mode_t fileMode(const QString& file)
{
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(file).constData(), &info), 0);
    return info.st_mode & 0777;
}

TEST_F(StoredFormsTest, TheFileIsForTheUserAloneAfterEverySave)
{
    ASSERT_TRUE(sSaveSettings());
    EXPECT_EQ(fileMode(iniPath()), 0600u);
    ASSERT_EQ(::chmod(QFile::encodeName(iniPath()).constData(), 0644), 0);
    ASSERT_TRUE(sSaveSettings());
    EXPECT_EQ(fileMode(iniPath()), 0600u);
}

TEST_F(StoredFormsTest, ASaveThatCannotCompleteKeepsTheOldFileWhole)
{
    Settings.TRG[0].BODY = QString(150, u'x');
    ASSERT_TRUE(sSaveSettings());
    const QByteArray before = readIni();
    Settings.TRG[0].BODY = QString(180, u'y');

    // A full disk: no file may grow beyond 100 bytes.
    rlimit original {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &original), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = original;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = sSaveSettings();
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(readIni(), before);
    EXPECT_EQ(QDir(path("")).entryList(QDir::Files), QStringList{"houndly.ini"}) << "no temporary file left";
}

TEST_F(StoredFormsTest, AFileThatIsADirectoryIsNeitherReadNorReplaced)
{
    ASSERT_TRUE(QDir().mkpath(iniPath() + "/inside"));
    EXPECT_FALSE(sLoadSettings());
    EXPECT_FALSE(sSaveSettings());
    EXPECT_TRUE(QFileInfo(iniPath() + "/inside").isDir());
}

TEST_F(StoredFormsTest, APipeInPlaceOfTheFileDoesNotBlockTheLoad)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(iniPath()).constData(), 0600), 0);
    EXPECT_FALSE(sLoadSettings());
    EXPECT_FALSE(sSaveSettings());
}

}  // namespace
