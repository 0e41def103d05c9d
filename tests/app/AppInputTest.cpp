#include "tests/app/AppTestSupport.h"

#include "app/AlarmCountInput.h"
#include "app/CommandLine.h"

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
