#include "TempHome.h"

#include "settings/AppPaths.h"
#include "settings/CommonHelpers.h"
#include "tests/support/TestApplication.h"

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <ctime>

namespace {

using CommonHelpersTest = TempHome;

// The wait serves events, keeps no processor busy and stops at its bound.
TEST_F(CommonHelpersTest, WaitServesEventsUntilTheProcessEndsOrItsBound)
{
    testApplication();
    QProcess sleeper, longSleeper;
    sleeper.start("sleep", {"0.5"});
    longSleeper.start("sleep", {"30"});
    ASSERT_TRUE(sleeper.waitForStarted() && longSleeper.waitForStarted());
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(20);
    QElapsedTimer wall;
    wall.start();
    const std::clock_t processorBefore = std::clock();
    EXPECT_TRUE(sWaitProcess(sleeper, 30000));
    const double processorMs = 1000.0 * double(std::clock() - processorBefore) / CLOCKS_PER_SEC;
    EXPECT_LT(processorMs, 0.5 * double(wall.elapsed())) << "waiting must not keep a processor busy";
    EXPECT_EQ(sleeper.state(), QProcess::NotRunning);
    EXPECT_GT(ticks, 0) << "timers run during the wait";
    EXPECT_TRUE(sWaitProcess(sleeper, 100)) << "an ended process returns at once";

    EXPECT_FALSE(sWaitProcess(longSleeper, 100));
    EXPECT_EQ(longSleeper.state(), QProcess::Running);
    longSleeper.kill();
    longSleeper.waitForFinished();
}

TEST_F(CommonHelpersTest, AppFolderComesFromHoundlyHomeWithItsFolders)
{
    const QString home = path("nested/home");
    for (const QString& variable : {home, home + "/"}) {
        qputenv("HOUNDLY_HOME", QFile::encodeName(variable));
        EXPECT_EQ(appFolder(), home);
        EXPECT_TRUE(QFileInfo(home + "/img").isDir() && QFileInfo(home + "/avi").isDir());
        EXPECT_EQ(appFilePath("houndly.ini"), home + "/houndly.ini");
    }
}

TEST_F(CommonHelpersTest, SoundFolderIsTheWindowsFoldersWhenSetOtherwiseTheShippedOne)
{
    const QString shipped = shippedFolder("media") + "/";
    const std::pair<const char*, QString> cases[] = {{"/srv/win/", "/srv/win/media/"}, {"/srv/win", "/srv/win/media/"},
                                                     {"", shipped}};
    for (const auto& [windir, expected] : cases) {
        qputenv("WINDIR", windir);
        EXPECT_EQ(soundFolder(), expected) << windir;
    }
    qunsetenv("WINDIR");
    EXPECT_EQ(soundFolder(), shipped);
}

TEST_F(CommonHelpersTest, ShippedFoldersLieBesideTheProgramOrInTheInstalledDataFolder)
{
    // A build or portable folder holds media/ beside the program; an install has bin/ and share/houndly/.
    ASSERT_TRUE(QDir().mkpath(path("portable/media")));
    ASSERT_TRUE(QDir().mkpath(path("usr/bin")));
    ASSERT_TRUE(QDir().mkpath(path("usr/share/houndly/media")));
    const std::pair<QString, QString> cases[] = {
        {path("portable"), path("portable/media")},
        {path("usr/bin"), path("usr/share/houndly/media")},
        {path("usr/bin/"), path("usr/share/houndly/media")},
    };
    for (const auto& [program, expected] : cases)
        EXPECT_EQ(shippedFolderOf(program, "media"), expected) << program.toStdString();

    // Only the portable folder keeps the settings beside the program; the
    // installed bin/ is writable here (the tests may run as root) and still refused.
    EXPECT_TRUE(isPortableProgramFolder(path("portable")));
    EXPECT_FALSE(isPortableProgramFolder(path("usr/bin")));
}

}  // namespace
