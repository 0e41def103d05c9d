#include "TempHome.h"

#include "settings/Settings.h"

#include <QRandomGenerator>

namespace {

using RobustnessTest = TempHome;

QByteArray garbage(qsizetype size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator(20240229).fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

// Each file ends with a COM section, so a load that survives it must still find TIMER.
TEST_F(RobustnessTest, HostileFilesLoadAndSaveWithoutHarm)
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
