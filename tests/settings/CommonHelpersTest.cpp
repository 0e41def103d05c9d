#include "TempHome.h"

#include "settings/AppPaths.h"
#include "settings/CommonHelpers.h"
#include "settings/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using CommonHelpersTest = TempHome;

// The application folder comes from HOUNDLY_HOME; the
// sounds from WINDIR's media/ when set, otherwise from the shipped folder, which
// lies beside the program or in the installed data folder.
TEST_F(CommonHelpersTest, AppSoundAndShippedFolders)
{
    const QString home = path("nested/home");
    for (const QString& variable : {home, home + "/"}) {
        qputenv("HOUNDLY_HOME", QFile::encodeName(variable));
        EXPECT_EQ(appFolder(), home);
        EXPECT_EQ(appFilePath("houndly.ini"), home + "/houndly.ini");
    }
    EXPECT_EQ(QFileInfo(home + "/avi").permissions() & 0x0077, 0) << "snapshots and clips are the user's alone";

    const QString shipped = shippedFolder("media") + "/";
    for (const auto& [windir, expected] :
         {std::pair<const char*, QString>{"/srv/win/", "/srv/win/media/"}, {"/srv/win", "/srv/win/media/"}, {"", shipped}}) {
        qputenv("WINDIR", windir);
        EXPECT_EQ(soundFolder(), expected) << windir;
    }
    qunsetenv("WINDIR");
    EXPECT_EQ(soundFolder(), shipped);

    // A build or portable folder holds media/ beside the program; an install has bin/ and share/houndly/.
    for (const char* folder : {"portable/media", "usr/bin", "usr/share/houndly/media"})
        ASSERT_TRUE(QDir().mkpath(path(folder)));
    const std::pair<QString, QString> layouts[] = {{path("portable"), path("portable/media")},
                                                   {path("usr/bin"), path("usr/share/houndly/media")},
                                                   {path("usr/bin/"), path("usr/share/houndly/media")}};
    for (const auto& [program, expected] : layouts)
        EXPECT_EQ(shippedFolderOf(program, "media"), expected) << program.toStdString();

    // Only the portable folder keeps the settings beside the program; the
    // installed bin/ is writable here (the tests may run as root) and still refused.
    EXPECT_TRUE(isPortableProgramFolder(path("portable")));
    EXPECT_FALSE(isPortableProgramFolder(path("usr/bin")));
}

// A log an older version left readable by others is the user's alone once written to.
TEST_F(CommonHelpersTest, ALogLeftReadableByOthersIsTightenedWhenAppendedTo)
{
    const QString log = writeFileBytes(path("mail.log.txt"), "old\n");
    ASSERT_TRUE(QFile::setPermissions(log, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    ASSERT_TRUE(appendToPrivateFile(log, "new\n"));
    EXPECT_EQ(readFileBytes(log), "old\nnew\n");
    EXPECT_EQ(QFile::permissions(log) & 0x0077, 0);
}

// A file of the same second is never replaced: the next free number goes
// before the extension; a dangling link counts as taken.
TEST_F(CommonHelpersTest, TimeStampedNamesOfTheSameSecondGetANumber)
{
    const QDateTime time(QDate(2024, 5, 1), QTime(12, 3, 9));
    const QString folder = path("img");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString first = folder + "/240501120309_ALERT.jpg";
    EXPECT_EQ(unusedTimeStampedPath(folder, time, "ALERT.jpg"), first);
    writeFileBytes(first, "first");
    EXPECT_EQ(unusedTimeStampedPath(folder, time, "ALERT.jpg"), folder + "/240501120309_ALERT_2.jpg");
    ASSERT_TRUE(QFile::link(path("gone.jpg"), folder + "/240501120309_ALERT_2.jpg"));
    EXPECT_EQ(unusedTimeStampedPath(folder, time, "ALERT.jpg"), folder + "/240501120309_ALERT_3.jpg");
    EXPECT_EQ(unusedTimeStampedPath(folder, time.addSecs(1), "ALERT.jpg"), folder + "/240501120310_ALERT.jpg");
}

}  // namespace
