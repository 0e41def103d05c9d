#include "tests/app/AppTestSupport.h"

#include "app/AlarmCountInput.h"
#include "app/CommandLine.h"
#include "app/HelpFolder.h"

#include <QDir>
#include <QFile>

// --help, --version and unknown options: the process test.
TEST(CommandLineTest, ReadsTheOptions)
{
    // An empty camera: the arguments fail.
    const std::pair<QStringList, QString> cases[] = {
        {{"--camera", "demo"}, "demo"}, {{"--camera=/dev/video2"}, "/dev/video2"}, {{"--camera"}, ""}, {{"demo"}, ""}};
    for (const auto& [arguments, camera] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const CommandLine result = parseCommandLine(arguments);
        EXPECT_EQ(result.action, camera.isEmpty() ? CommandLine::Action::Fail : CommandLine::Action::Run);
        EXPECT_EQ(result.camera, camera);
        EXPECT_EQ(result.errorMessage.isEmpty(), !camera.isEmpty());
    }
}

TEST(CommandLineTest, HeadlessWithTheOptionOrWithoutADisplay)
{
    const struct {
        const char* option;
        const char* display;
        const char* wayland;
        const char* platform;
        bool headless;
    } cases[] = {
        {"", "", "", "", true},
        {"", ":0", "", "", false},
        {"", "", "wayland-0", "", false},
        {"--headless", ":0", "wayland-0", "", true},
        {"", ":0", "", "offscreen", true},
        {"", "", "", "xcb", false},
    };
    const char* const variables[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    QByteArray saved[3];
    for (int i = 0; i < 3; ++i)
        saved[i] = qgetenv(variables[i]);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.option << " DISPLAY=" << c.display << " WAYLAND_DISPLAY=" << c.wayland
                                        << " QT_QPA_PLATFORM=" << c.platform);
        const char* values[] = {c.display, c.wayland, c.platform};
        for (int i = 0; i < 3; ++i)
            qputenv(variables[i], values[i]);
        const CommandLine commandLine = parseCommandLine(*c.option ? QStringList{c.option} : QStringList{});
        EXPECT_EQ(watchesHeadless(commandLine), c.headless);
    }
    for (int i = 0; i < 3; ++i)
        qputenv(variables[i], saved[i]);
}

TEST(CommandLineTest, CameraOptionWinsOverTheEnvironment)
{
    qputenv("HOUNDLY_CAMERA", "/dev/video4");
    EXPECT_EQ(cameraToWatch(parseCommandLine({"--camera", "demo"})), "demo");
    EXPECT_EQ(cameraToWatch(parseCommandLine({})), "/dev/video4");
    qunsetenv("HOUNDLY_CAMERA");
    EXPECT_EQ(cameraToWatch(parseCommandLine({})), "");
}

TEST(AlarmCountInputTest, ConfirmedTextBecomesA16BitCount)
{
    const std::pair<QString, int16_t> cases[] = {
        {"0", 0},         {"", 100},      {" 42 ", 42},       {"2.5", 2},   {"3.5", 4},
        {"32767", 32767}, {"32768", 100}, {"-32768", -32768}, {"inf", 100}, {"1e3", 1000},
    };
    for (const auto& [text, count] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(alarmCountFromText(text), count);
    }
}

// The shipped guide is copied into the application folder, again once a newer one is shipped.
TEST(HelpFolderTest, TheShippedGuideIsCopiedAndRefreshed)
{
    TempAppFolder home;
    ASSERT_TRUE(QDir().mkpath(home.filePath(QStringLiteral("shipped"))));
    const QString shipped = home.filePath(QStringLiteral("shipped/guide.html"));
    const QString installed = home.filePath(QStringLiteral("help/guide.html"));
    for (const QByteArray guide : {"old", "new"}) {
        writeFileBytes(shipped, guide);
        QFile file(shipped);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(QDateTime::currentDateTime().addSecs(guide == "new" ? 60 : -60), QFileDevice::FileModificationTime));
        ASSERT_TRUE(installHelpFolder(home.filePath(QStringLiteral("shipped")), home.filePath(QStringLiteral("help"))));
        EXPECT_EQ(readFileBytes(installed), guide);
    }
}
