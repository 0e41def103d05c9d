#include "TempHome.h"

#include <functional>

namespace {

using LoadRulesTest = TempHome;

constexpr int64_t kLoadFails = INT64_MIN;

struct Case {
    const char* stored;
    int64_t loaded;  // kLoadFails: the load reports failure
};

// What each number or on/off key loads as, written down from what the program
// promises, not from the table in the code.
struct KeyRules {
    const char* section;
    const char* key;
    std::function<int64_t()> field;
    Case below, lowest, highest, above, notANumber;
    int64_t whenAbsent;
};

const KeyRules kRules[] = {
    {"COM", "TIMER", [] { return Settings.COM.TIMER; }, {"0", 20}, {"1", 1}, {"50", 50}, {"51", 50},
     {"ten", kLoadFails}, 20},
    {"COM", "CKSUM", [] { return Settings.COM.CKSUM; }, {"-32768", 100}, {"1", 1}, {"9999", 9999}, {"10000", 9999},
     {"1e9", kLoadFails}, 100},
    {"COM", "ACCURACY", [] { return Settings.COM.ACCURACY; }, {"0", 1}, {"1", 1}, {"100", 100}, {"32767", 100},
     {"high", kLoadFails}, 1},
    {"COM", "NOIZE", [] { return Settings.COM.NOIZE; }, {"-1", 0}, {"0", 0}, {"1", 1}, {"2", 1},
     {"on", kLoadFails}, 0},
    {"0TRG", "GRP", [] { return Settings.TRG[0].GRP; }, {"-32769", kLoadFails}, {"-32768", -32768},
     {"32767", 32767}, {"32768", kLoadFails}, {"yes", kLoadFails}, 0},
    {"1TRG", "MINSIZE", [] { return Settings.TRG[1].MINSIZE; }, {"-32769", kLoadFails}, {"-32768", -32768},
     {"32767", 32767}, {"32768", kLoadFails}, {"small", kLoadFails}, 0},
    {"0TRG", "ARC", [] { return Settings.TRG[0].ARC; }, {"-5", 1}, {"0", 0}, {"100", 100}, {"250", 100},
     {"x", kLoadFails}, 0},
    {"FTP", "TIME", [] { return Settings.FTP.TIME; }, {"4", 5}, {"5", 5}, {"30", 30}, {"31", 30},
     {"12abc", kLoadFails}, 5},
    {"EXT", "PRETIME", [] { return Settings.EXT.PRETIME; }, {"-1", 0}, {"0", 0}, {"10", 10}, {"11", 10},
     {"soon", 0}, 0},
    {"EXT", "KEEPMB", [] { return Settings.EXT.KEEPMB; }, {"-5", 0}, {"0", 0}, {"100000000", 100000000},
     {"9999999999", 100000000}, {"1.5", 0}, 0},
    {"EXT", "KEEPDAYS", [] { return Settings.EXT.KEEPDAYS; }, {"-32769", 0}, {"0", 0}, {"32767", 32767},
     {"99999", 32767}, {"week", 0}, 0},
    {"EXT", "WEBPORT", [] { return Settings.EXT.WEBPORT; }, {"-1", 0}, {"0", 0}, {"65535", 65535}, {"65536", 65535},
     {"http", 0}, 0},
};

TEST_F(LoadRulesTest, EveryNumberLoadsWithinItsRange)
{
    for (const KeyRules& rules : kRules) {
        const QByteArray header = QByteArray("[") + rules.section + "]\n";
        for (const Case& c : {rules.below, rules.lowest, rules.highest, rules.above, rules.notANumber}) {
            Settings = SettingsRecord{};
            writeIni(header + rules.key + "=" + c.stored + "\n");
            const std::string where = std::string(rules.section) + "/" + rules.key + "=" + c.stored;
            ASSERT_EQ(sLoadSettings(), c.loaded != kLoadFails) << where;
            if (c.loaded != kLoadFails) {
                EXPECT_EQ(rules.field(), c.loaded) << where;
            }
        }
        Settings = SettingsRecord{};
        writeIni(header);
        ASSERT_TRUE(sLoadSettings());
        EXPECT_EQ(rules.field(), rules.whenAbsent) << rules.section << "/" << rules.key << " absent";
    }

    // A failing key stops the load there: the keys before it are loaded, the key
    // itself keeps its value unclamped, and none after it is read.
    writeIni("[COM]\nTIMER=7\nCKSUM=1e9\nACCURACY=50\n[MAIL]\nMAIL=a@b\n");
    Settings = SettingsRecord{};
    Settings.COM.CKSUM = -3;
    EXPECT_FALSE(sLoadSettings());
    EXPECT_EQ(QList<int64_t>({Settings.COM.TIMER, Settings.COM.CKSUM, Settings.COM.ACCURACY}), QList<int64_t>({7, -3, 0}));
    EXPECT_EQ(Settings.MAIL.MAIL, "");
}

// Odd forms the classic reader takes, the on/off texts, and the options of
// [EXT], which never fail the load.
TEST_F(LoadRulesTest, OddFormsLoadAsTheClassicReaderTakesThem)
{
    using Field = std::function<QString()>;
    const Field time = [] { return QString::number(Settings.FTP.TIME); };
    const Field comp = [] { return QString::number(Settings.COM.COMP); };
    const Field moveIsTrue = [] { return QString::number(Settings.FTP.MOVE == "True"); };
    const Field pretime = [] { return QString::number(Settings.EXT.PRETIME); };
    const Field lightCut = [] { return QString::number(Settings.EXT.LIGHTCUT); };
    const Field background = [] { return QString::number(Settings.EXT.BGUPLOAD); };
    const Field mail = [] { return Settings.MAIL.MAIL; };
    const Field subject = [] { return Settings.TRG[1].SUBJECT; };
    const Field host = [] { return Settings.FTP.HOST; };
    const struct {
        QByteArray file;
        Field field;
        QString expected;
    } cases[] = {
        {"[FTP]\nTIME= 12 \n", time, "12"}, {"[FTP]\nTIME=12.5\n", time, "12"},
        {"[COM]\nCOMP=ON\n", comp, "1"}, {"[COM]\nCOMP=on\n", comp, "0"}, {"[FTP]\nMOVE=true\n", moveIsTrue, "0"},
        {"[EXT]\nPRETIME= 4 \n", pretime, "4"}, {"[EXT]\nLIGHTCUT=True\n", lightCut, "1"},
        {"[EXT]\nLIGHTCUT=true\n", lightCut, "0"}, {"[EXT]\nBGUPLOAD=True\n", background, "1"},
        // Blanks inside a value's quotes go once the quotes are gone; only an escaped value keeps them.
        {"[MAIL]\nMAIL=\" watcher@example.net\t\"\n", mail, "watcher@example.net"},
        {"[1TRG]\nSUBJECT=\"  Houndly \"\n", subject, "Houndly"}, {"[MAIL]\nMAIL=\\: a@b\\s\n", mail, " a@b "},
        {"[FTP]\nHOST=\\: ftp.example.net\\t\n", host, "ftp.example.net"},  // the FTP keys are trimmed even so
        {"[EXT]\nFTPMODE=\\: SFTP\\t\n", [] { return Settings.EXT.FTPMODE; }, "SFTP"},  // a mode in blanks is no mode
        {"[EXT]\nWEBBIND=\\: ::1\\t\nWEBCERT=\\:\\tc.pem\\s\nWEBKEY=\\: k.pem\\t\n",  // nor is an address or a path
         [] { return QStringList{Settings.EXT.WEBBIND, Settings.EXT.WEBCERT, Settings.EXT.WEBKEY}.join(u'|'); }, "::1|c.pem|k.pem"},
    };
    for (const auto& c : cases) {
        Settings = SettingsRecord{};
        writeIni(c.file);
        ASSERT_TRUE(sLoadSettings()) << c.file.constData();
        EXPECT_EQ(c.field(), c.expected) << c.file.constData();
    }
    // An empty camera leaves the one chosen before.
    Settings.EXT.CAMERA = QStringLiteral("demo");
    writeIni("[EXT]\nCAMERA=\n");
    ASSERT_TRUE(sLoadSettings());
    EXPECT_EQ(Settings.EXT.CAMERA, QStringLiteral("demo"));
}

}  // namespace
