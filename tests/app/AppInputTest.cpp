#include "tests/app/AppTestSupport.h"

#include "app/AlarmCountInput.h"
#include "app/CommandLine.h"
#include "app/HelpFolder.h"
#include "app/SystemInfo.h"

#include <QFile>
#include <QTemporaryDir>

// --help, --version and unknown options: the process test.
TEST(CommandLineTest, ReadsTheOptions)
{
    const struct {
        QStringList arguments;
        CommandLine::Action action;
        QString camera;
    } cases[] = {
        {{}, CommandLine::Action::Run, QString()},
        {{"--camera", "demo"}, CommandLine::Action::Run, "demo"},
        {{"--camera=/dev/video2"}, CommandLine::Action::Run, "/dev/video2"},
        {{"--camera"}, CommandLine::Action::Fail, QString()},
        {{"demo"}, CommandLine::Action::Fail, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandLine result = parseCommandLine(c.arguments);
        EXPECT_EQ(result.action, c.action);
        EXPECT_EQ(result.camera, c.camera);
        EXPECT_EQ(result.errorMessage.isEmpty(), c.action != CommandLine::Action::Fail);
    }
}

TEST(AlarmCountInputTest, ConfirmedTextBecomesA16BitCount)
{
    const std::pair<QString, int16_t> cases[] = {
        {"123", 123}, {"0", 0},    {"", 100},      {"abc", 100},   {" 42 ", 42},
        {"2.5", 2},   {"3.5", 4},  {"9e99", 100},  {"32767", 32767}, {"32768", 100},
        {"-32768", -32768}, {"inf", 100}, {"nan", 100}, {"1e3", 1000},
    };
    for (const auto& [text, count] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(alarmCountFromText(text), count);
    }
}

TEST(HelpFolderTest, CopiesTheGuideAndRefreshesChangedFiles)
{
    QTemporaryDir source;
    QTemporaryDir target;
    const QString help = target.filePath(QStringLiteral("help"));
    for (const QByteArray& guide : {QByteArray("first"), QByteArray("second, longer")}) {
        writeFileBytes(source.filePath(QStringLiteral("guide.html")), guide);
        ASSERT_TRUE(installHelpFolder(source.path(), help));
        EXPECT_EQ(readFileBytes(help + QStringLiteral("/guide.html")), guide);
    }
    EXPECT_FALSE(installHelpFolder(source.filePath(QStringLiteral("missing")), target.path()));
}

// No program at all: the about box test.
TEST(SystemInfoTest, FindsTheFirstProgramOnPath)
{
    QTemporaryDir bin;
    for (const char* name : {"gnome-system-monitor", "hardinfo"})
        QFile(writeFileBytes(bin.filePath(QLatin1String(name)), "#!/bin/sh\n"))
            .setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8());
    EXPECT_EQ(findSystemInfoProgram(), bin.filePath(QStringLiteral("hardinfo")));
    EXPECT_EQ(findSystemInfoProgram({QStringLiteral("ksysguard"), QStringLiteral("gnome-system-monitor")}),
              bin.filePath(QStringLiteral("gnome-system-monitor")));
    qputenv("PATH", path);
}
