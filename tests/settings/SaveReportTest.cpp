// A failed save is told on standard error and to the notice, once, until a
// save succeeds again.
#include "TempHome.h"

#include "settings/SettingsSaveReport.h"

#include <QDir>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

using SaveReportTest = TempHome;

// What the calls write to standard error.
QByteArray standardErrorOf(const std::function<void()>& calls, const QString& capturePath)
{
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int capture = ::open(QFile::encodeName(capturePath).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(capture, STDERR_FILENO);
    calls();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(capture);
    ::close(saved);
    return readFileBytes(capturePath);
}

TEST_F(SaveReportTest, AFailureIsToldOnceUntilASaveSucceeds)
{
    QStringList notices;
    setSaveFailureNotice([&notices](const QString& message) { notices << message; });
    const QString capture = path("stderr.txt");
    ASSERT_TRUE(QDir().mkdir(iniPath()));  // neither readable nor replaceable
    const QByteArray told = standardErrorOf([] { sSaveSettingsReported(), sSaveSettingsReported(); }, capture);
    EXPECT_EQ(told.count('\n'), 1) << told.constData();
    EXPECT_TRUE(told.contains(QFile::encodeName(iniPath()))) << told.constData();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(iniPath()));

    ASSERT_TRUE(QDir().rmdir(iniPath()));
    EXPECT_EQ(standardErrorOf([] { EXPECT_TRUE(sSaveSettingsReported()); }, capture), "");
    ASSERT_TRUE(QFile::remove(iniPath()) && QDir().mkdir(iniPath()));
    EXPECT_FALSE(standardErrorOf([] { EXPECT_FALSE(sSaveSettingsReported()); }, capture).isEmpty());
    EXPECT_EQ(notices.size(), 2);
    setSaveFailureNotice({});
}

}  // namespace
