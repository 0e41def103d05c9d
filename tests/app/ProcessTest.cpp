#include "tests/support/LoopbackServers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

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

// True once the process catches SIGTERM: from then on the signal closes the
// window, whatever the program is doing.
bool catchesTermination(const QProcess& process)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process.processId()));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

// Sends SIGTERM once the program handles it; how long it then took to end, -1 if it did not.
qint64 terminate(QProcess& process)
{
    QDeadlineTimer started(20000);
    while (!catchesTermination(process) && !started.hasExpired())
        QThread::msleep(20);
    QElapsedTimer clock;
    clock.start();
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit ? clock.elapsed() : -1;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

// The dialogs of the start-up run before the program's event loop: a signal
// during them ends the program too, so an unattended start never hangs there.
TEST(HoundlyProcessTest, TerminationDuringAStartUpDialogEndsTheProgram)
{
    const struct {
        const char* dialog;
        QStringList arguments;
        QByteArray settings;
        int exitCode;
    } cases[] = {
        {"no camera: ドライバーが見つかりません。", {}, {}, 1},
        {"the compression dialog of COMP", {QStringLiteral("--camera"), QStringLiteral("demo")}, "[COM]\nCOMP=ON\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialog);
        if (c.arguments.isEmpty() && !QDir(QStringLiteral("/dev")).entryList({QStringLiteral("video*")}, QDir::System).isEmpty()) {
            std::puts("[ skipped  ] a camera is attached");
            continue;
        }
        QTemporaryDir home;
        const QString ini = home.filePath(QStringLiteral("houndly.ini"));
        if (!c.settings.isEmpty())
            writeFile(ini, c.settings);
        std::unique_ptr<QProcess> houndly(startHoundly(home, c.arguments));
        ASSERT_TRUE(houndly->waitForStarted(10000));
        EXPECT_GE(terminate(*houndly), 0);
        EXPECT_EQ(houndly->exitCode(), c.exitCode);
        // The shutdown saved the settings.
        QFile saved(ini);
        EXPECT_TRUE(saved.open(QIODevice::ReadOnly) && saved.readAll().contains("TIMER="));
    }
}

// A settings file that cannot be read is named with its reason, and left as it is.
TEST(HoundlyProcessTest, UnreadableSettingsAreNamedAndKept)
{
    const struct {
        const char* what;
        const char* reason;
    } cases[] = {{"folder", "it is a folder"}, {"file of 65 MB", "it is larger than 64 MB"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir home;
        const QString ini = home.filePath(QStringLiteral("houndly.ini"));
        const qint64 tooLarge = qint64(65) << 20;
        if (c.what == std::string("folder")) {
            ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("houndly.ini")));
        } else {
            QFile file(ini);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(tooLarge));  // sparse
        }
        std::unique_ptr<QProcess> houndly(startHoundly(home, {QStringLiteral("--camera"), QStringLiteral("demo")}));
        ASSERT_TRUE(houndly->waitForStarted(10000));
        // The message box waits for the user; the line on standard error comes first.
        QByteArray output;
        QDeadlineTimer told(20000);
        while (!output.contains("houndly: ") && houndly->waitForReadyRead(static_cast<int>(told.remainingTime())))
            output += houndly->readAll();
        EXPECT_TRUE(output.contains(QStringLiteral("cannot read the settings file %1: %2").arg(ini, c.reason).toUtf8()))
            << output.toStdString();
        EXPECT_GE(terminate(*houndly), 0);
        EXPECT_EQ(houndly->exitCode(), 1);
        const QFileInfo kept(ini);
        EXPECT_TRUE(c.what == std::string("folder") ? kept.isDir() : kept.size() == tooLarge);
    }
}

// A SIGTERM while the alarm mail waits on a server that went silent: the mail
// ends at once, no further destination is mailed, and the program exits.
TEST(HoundlyProcessTest, TerminationDuringAnAlarmMailSendsNothingMore)
{
    QTemporaryDir home;
    const QString records = home.filePath(QStringLiteral("smtp.jsonl"));
    ServerProcess smtp(QStringLiteral("smtp_server.py"), {"--record", records, "--stall", "data"});
    QByteArray settings = "[COM]\nTIMER=1\nCKSUM=1\nACCURACY=100\n[MAIL]\nMAIL=guard@example.org\nSMTP=127.0.0.1\t" +
                          QByteArray::number(smtp.port()) + "\nATT=0\nOPTATT=0\nAtCRAM=0\n";
    for (const char* section : {"0TRG", "1TRG", "2TRG"})
        settings += QByteArray("[") + section + "]\nENABLED=True\nMAILTO=owner@example.net\nSUBJECT=alarm\nGRP=0\n";
    writeFile(home.filePath(QStringLiteral("houndly.ini")), settings);
    std::unique_ptr<QProcess> houndly(startHoundly(home, {QStringLiteral("--camera"), QStringLiteral("demo")}));
    ASSERT_TRUE(houndly->waitForStarted(10000));
    // The first destination's message is in; the server now keeps the mail waiting.
    QDeadlineTimer alarmed(30000);
    while (readRecords(records, QStringLiteral("message")).isEmpty() && !alarmed.hasExpired())
        QThread::msleep(20);
    ASSERT_EQ(readRecords(records, QStringLiteral("message")).size(), 1);

    const qint64 exitMs = terminate(*houndly);
    std::printf("[ measured ] SIGTERM during an alarm mail to exit: %lld ms\n", static_cast<long long>(exitMs));
    EXPECT_GE(exitMs, 0);
    EXPECT_LT(exitMs, 3000);
    EXPECT_EQ(houndly->exitCode(), 0);
    EXPECT_EQ(readRecords(records, QStringLiteral("ehlo")).size(), 1) << "no further connection";
    QFile log(home.filePath(QStringLiteral("mail.log.txt")));
    EXPECT_TRUE(log.open(QIODevice::ReadOnly) && log.readAll().contains("= not sent: cancelled: the program is closing"));
}

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
