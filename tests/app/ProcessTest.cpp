#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

QProcess* startHoundly(const QTemporaryDir& home, const QStringList& arguments)
{
    auto* process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOUNDLY_HOME"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(QStringLiteral(HOUNDLY_EXECUTABLE), arguments);
    return process;
}

}  // namespace

TEST(HoundlyProcessTest, TerminationClosesTheWindowAndSavesSettings)
{
    for (const int signalNumber : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        QTemporaryDir home;
        const QString ini = home.filePath(QStringLiteral("houndly.ini"));
        std::unique_ptr<QProcess> houndly(startHoundly(home, {QStringLiteral("--camera"), QStringLiteral("demo")}));
        ASSERT_TRUE(houndly->waitForStarted(10000));
        // The start-up writes the settings file once the window has its values.
        QDeadlineTimer started(20000);
        while (!QFile::exists(ini) && !started.hasExpired())
            QThread::msleep(50);
        ASSERT_TRUE(QFile::exists(ini));
        // Only the shutdown can write it again.
        QThread::msleep(500);
        ASSERT_TRUE(QFile::remove(ini));
        ::kill(static_cast<pid_t>(houndly->processId()), signalNumber);
        ASSERT_TRUE(houndly->waitForFinished(20000));
        EXPECT_EQ(houndly->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(houndly->exitCode(), 0);
        EXPECT_TRUE(QFile::exists(ini));
        // The user guide shipped beside the program was put where the help command looks.
        EXPECT_TRUE(QFile::exists(home.filePath(QStringLiteral("help/guide_en.html"))));
    }
}

TEST(HoundlyProcessTest, OptionsAreCheckedBeforeStarting)
{
    QTemporaryDir home;
    const struct {
        QStringList arguments;
        int exitCode;
        const char* output;
    } cases[] = {
        {{QStringLiteral("--version")}, 0, "Houndly 1.1.0"},
        {{QStringLiteral("--help")}, 0, "--camera demo|PATH"},
        {{QStringLiteral("--frobnicate")}, 2, "unknown option: --frobnicate"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        std::unique_ptr<QProcess> houndly(startHoundly(home, c.arguments));
        ASSERT_TRUE(houndly->waitForFinished(10000));
        EXPECT_EQ(houndly->exitCode(), c.exitCode);
        EXPECT_TRUE(houndly->readAll().contains(c.output));
        EXPECT_FALSE(QFile::exists(home.filePath(QStringLiteral("houndly.ini"))));
    }
}
