// A failed save is told on standard error and to the notice, once, until a
// save succeeds again.
#include "TempHome.h"

#include "settings/SettingsSaveReport.h"
#include "tests/support/StandardError.h"

#include <QDir>

namespace {

using SaveReportTest = TempHome;

TEST_F(SaveReportTest, AFailureIsToldOnceUntilASaveSucceeds)
{
    QStringList notices;
    setSaveFailureNotice([&notices](const QString& message) { notices << message; });
    ASSERT_TRUE(QDir().mkdir(iniPath()));  // neither readable nor replaceable
    const QByteArray told = standardErrorOf([] { sSaveSettingsReported(), sSaveSettingsReported(); });
    EXPECT_EQ(told.count('\n'), 1) << told.constData();
    EXPECT_TRUE(told.contains(QFile::encodeName(iniPath()))) << told.constData();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(iniPath()));

    ASSERT_TRUE(QDir().rmdir(iniPath()));
    EXPECT_EQ(standardErrorOf([] { EXPECT_TRUE(sSaveSettingsReported()); }), "");
    ASSERT_TRUE(QFile::remove(iniPath()) && QDir().mkdir(iniPath()));
    EXPECT_FALSE(standardErrorOf([] { EXPECT_FALSE(sSaveSettingsReported()); }).isEmpty());
    EXPECT_EQ(notices.size(), 2);
    setSaveFailureNotice({});
}

}  // namespace
