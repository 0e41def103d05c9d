#include "TempHome.h"

#include "settings/IniAccess.h"

namespace {

using ProfileFileTest = TempHome;

// A missing file reads as the default, cut to the buffer, and is made by a write.
TEST_F(ProfileFileTest, ReadsValuesAsThePlatformReaderDoes)
{
    QString buffer;
    EXPECT_EQ(ReadIniString("A", "k", "default", buffer, 4, iniPath()), 3);
    EXPECT_EQ(buffer, "def");
    ASSERT_TRUE(WriteIniString("A", "k", "v", iniPath()));
    EXPECT_EQ(readIni(), "[A]\nk=v\n");

    const QString longValue(300, u'x');
    const QString astral = QString::fromUtf8("\xF0\x9F\x98\x80");
    const struct {
        const char* name;
        QByteArray file;
        QString section, key, expected;  // "" reads as absent
    } cases[] = {
        {"names ignore ASCII case", "[cOm]\ntImEr=5\n", "COM", "TIMER", "5"}, {"A to Z", "[az]\nk=1\n", "AZ", "K", "1"},
        {"blanks around names", "  [ COM ]\t\n \tTIMER \t= 5\n", "COM", "TIMER", "5"},
        {"value trimmed of spaces and TABs", "[A]\nk= \t x  y\t \n", "A", "k", "x  y"},
        {"double quotes removed", "[A]\nk=\" a b \"\n", "A", "k", " a b "},
        {"unmatched quotes kept", "[A]\nk=\"a'\n", "A", "k", "\"a'"},
        {"only one pair removed", "[A]\nk=\"\"a\"\"\n", "A", "k", "\"a\""},
        {"= ; # inside a value kept", "[A]\nk=a=b ;c #d\n", "A", "k", "a=b ;c #d"},
        {"a key without = is absent", "[A]\nk\nj=1\n", "A", "k", ""},
        {"first section counts", "[A]\nk=1\n[a]\nk=2\nj=3\n", "A", "j", ""},
        {"first key wins", "[A]\nk=1\nK=2\n", "A", "k", "1"},
        {"header runs to the last ]", "[A]x] \nk=1\n", "A]x", "k", "1"},
        {"CR ends lines", "[A]\rk=1\rj=2", "A", "j", "2"},
        {"empty value is absent", "[A]\nk=\n", "A", "k", ""},
        {"key before any section", "k=1\n[A]\n", "A", "k", ""},
        {"cut to 199 characters", "[A]\nk=" + longValue.toUtf8() + "\n", "A", "k", longValue.left(199)},
        {"a cut never splits a character", "[A]\nk=" + QString(198, u'a').toUtf8() + astral.toUtf8() + "b\n",
         "A", "k", QString(198, u'a')},
        {"byte order mark ignored", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "1"},
        {"Shift-JIS file", toShiftJis(QStringLiteral("[A]\r\nk=あいう ｱｲｳ\r\n")), "A", "k",
         QStringLiteral("あいう ｱｲｳ")},
        {"Shift-JIS control characters are ASCII", toShiftJis(QStringLiteral("[A]\r\nk=あ")) + "\x1a\x1c\x7f\r\n",
         "A", "k", QStringLiteral("あ\x1a\x1c\x7f")},
    };
    for (const auto& c : cases) {
        writeIni(c.file);
        const int count = ReadIniString(c.section, c.key, QString(), buffer, 200, iniPath());
        EXPECT_EQ(buffer, c.expected) << c.name;
        EXPECT_EQ(count, c.expected.size()) << c.name;
    }
}

TEST_F(ProfileFileTest, WritesOneLineAndKeepsEveryOtherByte)
{
    const struct {
        const char* name;
        QByteArray before;
        QString section, key, value;
        QByteArray after;
    } cases[] = {
        {"replaced in place, line end kept", "; note\r\n[A]\r\n  K = 1 \r\nother=x\r\n", "A", "k", "2",
         "; note\r\n[A]\r\nk=2\r\nother=x\r\n"},
        {"appended after the section's last line", "[A]\nk=1\n; end of A\n[B]\nx=1\n", "a", "j", "2",
         "[A]\nk=1\n; end of A\nj=2\n[B]\nx=1\n"},
        {"new section at the end, final line end added", "[A]\nk=1", "B", "j", "2", "[A]\nk=1\n[B]\nj=2\n"},
        {"new lines take the file's line end", "; c\r\n", "A", "k", "v", "; c\r\n[A]\r\nk=v\r\n"},
        {"first of duplicate sections", "[A]\nk=1\n[A]\nj=1\n", "A", "j", "2", "[A]\nk=1\nj=2\n[A]\nj=1\n"},
        {"odd lines untouched", "junk\n\t[ A ]  \n;k=0\nk\n\nk = 1\n", "A", "k", "2",
         "junk\n\t[ A ]  \n;k=0\nk\n\nk=2\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "2", "\xEF\xBB\xBF[A]\nk=2\n"},
        {"Shift-JIS file stays Shift-JIS", toShiftJis(QStringLiteral("[A]\r\nk=あ\r\n")), "A", "j",
         QStringLiteral("い"), toShiftJis(QStringLiteral("[A]\r\nk=あ\r\nj=い\r\n"))},
    };
    for (const auto& c : cases) {
        writeIni(c.before);
        ASSERT_TRUE(WriteIniString(c.section, c.key, c.value, iniPath())) << c.name;
        EXPECT_EQ(readIni(), c.after) << c.name;
    }
}

// A text with no form in the file's encoding is refused whole, never written
// with a stand-in character in its place; so is a write that would have a
// Shift-JIS file read as UTF-8.
TEST_F(ProfileFileTest, TextWithNoFormInTheFilesEncodingIsRefused)
{
    const QByteArray shiftJis = toShiftJis(QStringLiteral("[A]\r\nk=あ\r\n"));
    const QString loneSurrogate = QStringLiteral("pass") + QChar(0xDD0A);
    const std::pair<QByteArray, QString> cases[] = {
        {"[A]\nk=1\n", loneSurrogate},
        {shiftJis, loneSurrogate},
        {shiftJis, QString::fromUtf8("\xF0\x9F\x90\x95")},
    };
    for (const auto& [before, text] : cases) {
        ProfileFile file(before);
        EXPECT_FALSE(file.setValue("A", "k", text)) << before.toHex().constData();
        EXPECT_FALSE(file.setValue("B", "k", text)) << before.toHex().constData();
        EXPECT_EQ(file.bytes(), before);
    }

    // "ﾕ０" in Shift-JIS is "ՂO" in UTF-8; "あ" alone tells the file apart.
    const QByteArray toldByOneLine = toShiftJis(QStringLiteral("[A]\r\nk=ﾕ０\r\nj=あ\r\n"));
    ProfileFile file(toldByOneLine);
    EXPECT_FALSE(file.setValue("A", "j", "x"));
    EXPECT_EQ(file.bytes(), toldByOneLine);
    EXPECT_TRUE(file.setValue("A", "j", QStringLiteral("い")));
    EXPECT_TRUE(file.setValue("A", "k", "x"));
    EXPECT_TRUE(file.setValue("A", "j", "x"));  // all ASCII: both encodings read it alike
}

}  // namespace
