#include "TempHome.h"

#include "settings/AppPaths.h"
#include "settings/CommonHelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <ctime>

namespace {

class CommonHelpersTest : public TempHome {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "settings_tests";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr) {
            application = new QCoreApplication(argc, argv);
        }
    }
    static void TearDownTestSuite()
    {
        delete application;
        application = nullptr;
    }

    static QCoreApplication* application;
};

QCoreApplication* CommonHelpersTest::application = nullptr;

double processorSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

TEST_F(CommonHelpersTest, WaitEndsWhenTheProcessEndsAndServesEventsMeanwhile)
{
    QProcess sleeper;
    sleeper.start("sleep", {"0.5"});
    ASSERT_TRUE(sleeper.waitForStarted());
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(20);
    const double processorBefore = processorSeconds();
    EXPECT_TRUE(sWaitProcess(sleeper, 30000));
    EXPECT_LT(processorSeconds() - processorBefore, 0.25) << "waiting must not keep a processor busy";
    EXPECT_EQ(sleeper.state(), QProcess::NotRunning);
    EXPECT_GT(ticks, 5) << "timers run during the wait";
}

TEST_F(CommonHelpersTest, WaitStopsAtItsBound)
{
    QProcess sleeper;
    sleeper.start("sleep", {"30"});
    ASSERT_TRUE(sleeper.waitForStarted());
    EXPECT_FALSE(sWaitProcess(sleeper, 100));
    EXPECT_EQ(sleeper.state(), QProcess::Running);
    EXPECT_FALSE(sWaitProcess(sleeper.processId(), 100));
    sleeper.kill();
    EXPECT_TRUE(sWaitProcess(sleeper.processId(), 30000));
    sleeper.waitForFinished();
    EXPECT_TRUE(sWaitProcess(sleeper, 100)) << "an ended process returns at once";
    EXPECT_TRUE(sWaitProcess(qint64(0x3ffffff0), 30000)) << "no such process: returns at once";
}

TEST_F(CommonHelpersTest, ShortPathIsTheCanonicalPathOfAnExistingFile)
{
    ASSERT_TRUE(QDir().mkpath(path("sub")));
    writeBytes(path("real.wav"), "RIFF");
    ASSERT_TRUE(QFile::link(path("real.wav"), path("link.wav")));
    const QString canonical = QFileInfo(path("real.wav")).canonicalFilePath();
    EXPECT_EQ(GetShortPath(path("link.wav")), canonical);
    EXPECT_EQ(GetShortPath(path("sub/../real.wav")), canonical);
    EXPECT_EQ(GetShortPath(path("missing.wav")), "");
    EXPECT_EQ(GetShortPath(""), "");
}

TEST_F(CommonHelpersTest, ResizePictureStretchesOrCopies)
{
    QImage source(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            source.setPixel(x, y, qRgb(x * 4, y * 5, (x ^ y) & 0xff));
        }
    }
    EXPECT_EQ(sResizePicture(source, 48, 64), source);
    const QImage small = sResizePicture(source, 82, 110);
    EXPECT_EQ(small.size(), QSize(110, 82));
    EXPECT_EQ(small.format(), QImage::Format_RGB32);
}

TEST_F(CommonHelpersTest, TimeStampOfFileNames)
{
    EXPECT_EQ(fileTimeStamp(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9))), "240305070809_");
}

TEST_F(CommonHelpersTest, AppFolderComesFromHoundlyHomeWithItsFolders)
{
    const QString home = path("nested/home");
    qputenv("HOUNDLY_HOME", QFile::encodeName(home));
    EXPECT_EQ(appFolder(), home);
    EXPECT_TRUE(QFileInfo(home + "/img").isDir());
    EXPECT_TRUE(QFileInfo(home + "/avi").isDir());
    EXPECT_EQ(appFilePath("houndly.ini"), home + "/houndly.ini");
    qputenv("HOUNDLY_HOME", QFile::encodeName(home + "/"));
    EXPECT_EQ(appFilePath("houndly.ini"), home + "/houndly.ini");
}

}  // namespace
