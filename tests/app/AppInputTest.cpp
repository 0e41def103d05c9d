#include "tests/app/AppTestSupport.h"

#include "app/AlarmCountInput.h"
#include "app/CommandLine.h"
#include "app/HelpFolder.h"
#include "app/SystemInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

TEST(CommandLineTest, ReadsTheOptions)
{
    struct Case {
        QStringList arguments;
        CommandLine::Action action;
        QString camera;
    };
    const Case cases[] = {
        {{}, CommandLine::Action::Run, QString()},
        {{"--camera", "demo"}, CommandLine::Action::Run, "demo"},
        {{"--camera=/dev/video2"}, CommandLine::Action::Run, "/dev/video2"},
        {{"--help"}, CommandLine::Action::ShowHelp, QString()},
        {{"--version"}, CommandLine::Action::ShowVersion, QString()},
        {{"--camera"}, CommandLine::Action::Fail, QString()},
        {{"--verbose"}, CommandLine::Action::Fail, QString()},
        {{"demo"}, CommandLine::Action::Fail, QString()},
    };
    for (const Case& c : cases) {
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
    QFile guide(source.filePath(QStringLiteral("guide.html")));
    ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
    guide.write("first");
    guide.close();

    ASSERT_TRUE(installHelpFolder(source.path(), target.filePath(QStringLiteral("help"))));
    QFile copy(target.filePath(QStringLiteral("help/guide.html")));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("first"));
    copy.close();

    ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
    guide.write("second, longer");
    guide.close();
    ASSERT_TRUE(installHelpFolder(source.path(), target.filePath(QStringLiteral("help"))));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("second, longer"));

    EXPECT_FALSE(installHelpFolder(source.filePath(QStringLiteral("missing")), target.path()));
}

TEST(SystemInfoTest, FindsTheFirstProgramOnPath)
{
    QTemporaryDir bin;
    for (const char* name : {"hardinfo", "gnome-system-monitor"}) {
        QFile program(bin.filePath(QLatin1String(name)));
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8());
    EXPECT_EQ(findSystemInfoProgram(), bin.filePath(QStringLiteral("hardinfo")));
    EXPECT_EQ(findSystemInfoProgram({QStringLiteral("gnome-system-monitor")}),
              bin.filePath(QStringLiteral("gnome-system-monitor")));
    EXPECT_EQ(findSystemInfoProgram({QStringLiteral("ksysguard")}), QString());
    qputenv("PATH", path);
}
