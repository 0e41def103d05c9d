#include "tests/support/LoopbackServers.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// Headless, or as on a desktop: a platform that is not offscreen first, so the
// program shows its windows and dialogs, which Qt then draws offscreen.
QProcess* startHoundly(const QTemporaryDir& home, const QStringList& arguments, bool desktop = false)
{
    auto* process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOUNDLY_HOME"), home.path());
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                       desktop ? QStringLiteral("xcb;offscreen") : QStringLiteral("offscreen"));
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(QStringLiteral(HOUNDLY_EXECUTABLE), arguments);
    return process;
}

// True once the process catches SIGTERM (and SIGINT with it): from then on the
// signal closes the window, whatever the program is doing.
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

// Sends the signal once the program handles it; how long it then took to end, -1 if it did not.
qint64 terminate(QProcess& process, int signalNumber = SIGTERM)
{
    waitUntil([&process] { return catchesTermination(process); }, std::chrono::seconds(20));
    QElapsedTimer clock;
    clock.start();
    ::kill(static_cast<pid_t>(process.processId()), signalNumber);
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit ? clock.elapsed() : -1;
}

}  // namespace

// SIGTERM or SIGINT ends the program wherever it stands: in the dialogs of the
// start-up, which run before the program's event loop, so an unattended start
// never hangs there, or while watching. Headless, a start that cannot watch
// ends by itself with a line that says why. A settings file that cannot be read
// is named with its reason and left as it is; every other end saves the settings.
TEST(HoundlyProcessTest, ASignalEndsTheProgramWhereverItStands)
{
    const QStringList demo = {QStringLiteral("--camera"), QStringLiteral("demo")};
    const QStringList missing = {QStringLiteral("--camera"), QStringLiteral("/nonexistent/missing.mp4")};
    const QByteArray folder = "<a folder>", tooLarge = "<65 MB>";
    const qint64 tooLargeSize = qint64(65) << 20;
    const struct {
        const char* where;
        bool desktop;
        QStringList arguments;
        QByteArray settings;
        int signalNumber;  // 0: it ends by itself
        int exitCode;
        const char* told;  // %1: the settings file
    } cases[] = {
        {"no camera: ドライバーが見つかりません。", true, missing, {}, SIGTERM, 1, ""},
        {"no camera, headless", false, missing, {}, 0, 1, "error: ドライバーが見つかりません。"},
        {"the compression dialog of COMP", true, demo, "[COM]\nCOMP=ON\n", SIGTERM, 0, ""},
        {"unreadable settings: a folder", true, demo, folder, SIGTERM, 1,
         "cannot read the settings file %1: it is a folder"},
        {"unreadable settings: too large", true, demo, tooLarge, SIGINT, 1,
         "cannot read the settings file %1: it is larger than 64 MB"},
        {"watching", true, demo, {}, SIGINT, 0, ""},  // SIGTERM while watching headless: the headless test
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        QTemporaryDir home;
        const QString ini = home.filePath(QStringLiteral("houndly.ini"));
        if (c.settings == folder) {
            ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("houndly.ini")));
        } else if (c.settings == tooLarge) {
            QFile file(ini);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(tooLargeSize));  // sparse
        } else if (!c.settings.isEmpty()) {
            writeFileBytes(ini, c.settings);
        }
        std::unique_ptr<QProcess> houndly(startHoundly(home, c.arguments, c.desktop));
        ASSERT_TRUE(houndly->waitForStarted(10000));
        const bool watching = c.where == std::string("watching");
        if (watching) {
            // The start-up writes the settings file once the window has its values; then only the shutdown can.
            waitUntil([&ini] { return QFile::exists(ini); }, std::chrono::seconds(20));
            QThread::msleep(500);
            ASSERT_TRUE(QFile::remove(ini));
        }
        if (c.signalNumber == 0)
            EXPECT_TRUE(houndly->waitForFinished(20000) && houndly->exitStatus() == QProcess::NormalExit);
        else
            EXPECT_GE(terminate(*houndly, c.signalNumber), 0);
        EXPECT_EQ(houndly->exitCode(), c.exitCode);
        const QString output = QString::fromUtf8(houndly->readAll());
        const QString told = QString::fromUtf8(c.told).replace(QStringLiteral("%1"), ini);
        EXPECT_TRUE(output.contains(told)) << output.toStdString();
        if (c.settings == folder || c.settings == tooLarge) {
            const QFileInfo kept(ini);
            EXPECT_TRUE(c.settings == folder ? kept.isDir() : kept.size() == tooLargeSize);
            continue;
        }
        EXPECT_TRUE(readFileBytes(ini).contains("TIMER="));
        // The user guide shipped beside the program was put where the help command looks.
        EXPECT_TRUE(!watching || QFile::exists(home.filePath(QStringLiteral("help/guide_en.html"))));
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
    writeFileBytes(home.filePath(QStringLiteral("houndly.ini")), settings);
    std::unique_ptr<QProcess> houndly(startHoundly(home, {QStringLiteral("--camera"), QStringLiteral("demo")}));
    ASSERT_TRUE(houndly->waitForStarted(10000));
    // The first destination's message is in; the server now keeps the mail waiting.
    waitUntil([&records] { return !readRecords(records, QStringLiteral("message")).isEmpty(); },
              std::chrono::seconds(30));
    ASSERT_EQ(readRecords(records, QStringLiteral("message")).size(), 1);

    const qint64 exitMs = terminate(*houndly);
    EXPECT_GE(exitMs, 0);
    EXPECT_LT(exitMs, 3000);
    EXPECT_EQ(houndly->exitCode(), 0);
    EXPECT_EQ(readRecords(records, QStringLiteral("ehlo")).size(), 1) << "no further connection";
    EXPECT_TRUE(readFileBytes(home.filePath(QStringLiteral("mail.log.txt")))
                    .contains("= not sent: cancelled: the program is closing"));
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
