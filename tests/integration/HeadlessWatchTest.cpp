// The installed way of watching without a desktop: the real houndly program,
// started with no display, watches the demo camera with a short intruder period,
// mails and uploads the alarm through real servers on loopback, tells each event
// on standard output, and saves its settings and ends cleanly on SIGTERM.
#include "tests/support/HttpCamera.h"
#include "tests/support/LoopbackAccounts.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"

#include "settings/Settings.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

namespace {

constexpr int kLineWaitMs = 90000;  // an alarm takes a mail, a 5 s clip and an upload; the machine may be busy

// The program's standard output, read line by line as it comes.
class OutputLines {
public:
    explicit OutputLines(QProcess& process) : process_(process) {}

    // Waits for a line containing `text`; every line read meanwhile is kept.
    bool waitFor(const QString& text, int timeoutMs = kLineWaitMs)
    {
        for (QDeadlineTimer deadline(timeoutMs); indexOf(text) < 0; readAvailable()) {
            if (deadline.hasExpired() || process_.state() == QProcess::NotRunning)
                return false;
            process_.waitForReadyRead(200);
        }
        return true;
    }
    void readAvailable()
    {
        while (process_.canReadLine())
            lines_ << QString::fromUtf8(process_.readLine()).trimmed();
    }
    qsizetype indexOf(const QString& text) const
    {
        const auto found = std::ranges::find_if(lines_, [&](const QString& line) { return line.contains(text); });
        return found == lines_.end() ? -1 : found - lines_.begin();
    }
    QString all() const { return lines_.join(u'\n'); }

private:
    QProcess& process_;
    QStringList lines_;
};

class HeadlessWatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApplication();
        ASSERT_GT(smtp.port(), 0);
        ASSERT_TRUE(ftp.running());
        Settings = SettingsRecord{};
        Settings.COM.TIMER = 5;
        Settings.COM.CKSUM = 10;  // the demo intruder changes some 15 to 35 points
        Settings.COM.ACCURACY = 1;
        Settings.COM.SOUND = QStringLiteral("bark.wav");
        useLoopbackAccounts(smtp.port(), ftp.port());
        Settings.TRG[0] = {QStringLiteral("True"), QStringLiteral("owner@example.net"), QStringLiteral("警報"),
                           QStringLiteral("誰か来たワン"), 1, 1, QString(), 20};
        Settings.FTP.MOVE = Settings.FTP.FTP = QStringLiteral("True");
        Settings.FTP.FILENAME = Settings.FTP.AUDIO = QStringLiteral("False");
        ASSERT_TRUE(sSaveSettings());
        Settings = SettingsRecord{};
    }

    // No display and no platform chosen: the program must decide to watch headless by itself.
    void start(const QStringList& arguments, QProcess::ProcessChannelMode errors = QProcess::ForwardedErrorChannel)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "JOURNAL_STREAM", "WINDIR", "HOUNDLY_CAMERA"})
            environment.remove(QString::fromLatin1(variable));
        environment.insert(QStringLiteral("HOUNDLY_HOME"), home.path());
        environment.insert(QStringLiteral("HOUNDLY_DEMO_PERIOD"), QStringLiteral("5"));
        houndly.setProcessEnvironment(environment);
        houndly.setProcessChannelMode(errors);
        houndly.start(QStringLiteral(HOUNDLY_EXECUTABLE), arguments);
    }
    void TearDown() override
    {
        if (houndly.state() != QProcess::NotRunning) {
            houndly.kill();
            houndly.waitForFinished();
        }
    }

    // SIGTERM, then the rest of the output once the program has ended.
    void terminate(OutputLines& output)
    {
        ::kill(static_cast<pid_t>(houndly.processId()), SIGTERM);
        ASSERT_TRUE(houndly.waitForFinished(30000));
        output.readAvailable();
        EXPECT_EQ(houndly.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(houndly.exitCode(), 0);
    }

    QString smtpRecords() const { return home.filePath(QStringLiteral("smtp.jsonl")); }

    TempAppFolder home;
    ServerProcess smtp{QStringLiteral("smtp_server.py"), {QStringLiteral("--record"), smtpRecords(),
                                                         QStringLiteral("--lifetime"), QStringLiteral("150")}};
    FtpTestServer ftp;
    QProcess houndly;
};

TEST_F(HeadlessWatchTest, AlarmIsMailedAndUploadedEveryEventIsToldAndSigtermSaves)
{
    start({QStringLiteral("--camera"), QStringLiteral("demo")});
    OutputLines output(houndly);
    ASSERT_TRUE(output.waitFor(QStringLiteral("started: camera demo"), 30000)) << output.all().toStdString();
    ASSERT_TRUE(output.waitFor(QStringLiteral("alarm over"))) << output.all().toStdString();

    const QString shippedSound = QDir(QStringLiteral(HOUNDLY_EXECUTABLE "/..")).absoluteFilePath(QStringLiteral("media/bark.wav"));
    EXPECT_LE(0, output.indexOf(
        QStringLiteral("alarm count 10, every 0.5 s, sound %1, mail to 1 destinations, recording 5 s and upload")
            .arg(QDir::cleanPath(shippedSound))))
        << output.all().toStdString();
    const QRegularExpression alarmLine(QStringLiteral("alarm: count (\\d+) over 10$"));
    const QString alarm = output.all().split(u'\n').filter(alarmLine).value(0);
    ASSERT_FALSE(alarm.isEmpty()) << output.all().toStdString();
    EXPECT_GT(alarmLine.match(alarm).captured(1).toInt(), 10);
    EXPECT_LT(output.indexOf(QStringLiteral("started:")), output.indexOf(QStringLiteral("alarm: count")));

    // Each step of the alarm has its line, in the order it happened; what the servers got is the window test's.
    const QStringList clips = QDir(home.filePath(QStringLiteral("avi"))).entryList({QStringLiteral("*_ALERT.AVI")});
    ASSERT_EQ(clips.size(), 1);
    const qsizetype steps[] = {output.indexOf(QStringLiteral("alarm: count")), output.indexOf(QStringLiteral("snapshot ")),
                               output.indexOf(QStringLiteral("mail A sent to owner@example.net")),
                               output.indexOf(QStringLiteral("clip ") + home.filePath(QStringLiteral("avi/") + clips[0])),
                               output.indexOf(QStringLiteral("upload ") + clips[0]),
                               output.indexOf(QStringLiteral("alarm over"))};
    for (size_t i = 1; i < std::size(steps); ++i)
        EXPECT_GT(steps[i], steps[i - 1]) << i << "\n" << output.all().toStdString();
    EXPECT_EQ(output.indexOf(QStringLiteral("failed")), -1) << output.all().toStdString();

    // Only the shutdown writes the settings now.
    ASSERT_TRUE(QFile::remove(home.filePath(QStringLiteral("houndly.ini"))));
    ASSERT_NO_FATAL_FAILURE(terminate(output));
    EXPECT_TRUE(output.all().endsWith(QStringLiteral("stopped"))) << output.all().toStdString();
    ASSERT_TRUE(QFile::exists(home.filePath(QStringLiteral("houndly.ini"))));
    for (const QString& password : {kSmtpPassword, FtpTestServer::kPassword})
        EXPECT_FALSE(output.all().contains(password));
}

// The camera stored last is a network camera whose account is in its URL and
// which does not answer yet: it is told lost and back once each, opened when
// it comes, stays stored, and neither its user name nor its password shows
// anywhere but (shifted) in houndly.ini.
TEST_F(HeadlessWatchTest, StoredNetworkCameraIsWaitedForAndItsAccountNeverShows)
{
    const QString user = QStringLiteral("camwatcher");
    const QString password = QStringLiteral("Gr4nite-Owl");
    const int port = closedLoopbackPort();
    const QString shown = QStringLiteral("http://***@127.0.0.1:%1/feed.mjpg").arg(port);
    ASSERT_TRUE(sLoadSettings());
    Settings.COM.CKSUM = 9999;  // no alarm: this is about the camera
    const QString url = QStringLiteral("http://%1:%2@127.0.0.1:%3/feed.mjpg").arg(user, password).arg(port);
    Settings.EXT.CAMERA = url;
    ASSERT_TRUE(sSaveSettings());
    Settings = SettingsRecord{};

    start({}, QProcess::SeparateChannels);
    OutputLines output(houndly);
    ASSERT_TRUE(output.waitFor(QStringLiteral("started: camera ") + shown, 30000)) << output.all().toStdString();
    ASSERT_TRUE(output.waitFor(QStringLiteral("camera lost: ") + shown, 30000)) << output.all().toStdString();
    HttpCamera camera(port, 10, 120);
    ASSERT_TRUE(output.waitFor(QStringLiteral("camera back: ") + shown, 30000)) << output.all().toStdString();
    ASSERT_NO_FATAL_FAILURE(terminate(output));
    for (const QString& told : {QStringLiteral("camera lost: "), QStringLiteral("camera back: ")})
        EXPECT_EQ(output.all().count(told), 1) << "told once: " << output.all().toStdString();
    ASSERT_TRUE(sLoadSettings());
    EXPECT_EQ(Settings.EXT.CAMERA, url) << "kept while it did not answer";

    const QString ini = home.filePath(QStringLiteral("houndly.ini"));
    QMap<QString, QByteArray> contents = {{QStringLiteral("standard output"), output.all().toUtf8()},
                                          {QStringLiteral("standard error"), houndly.readAllStandardError()}};
    for (QDirIterator files(home.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); files.hasNext();) {
        const QString path = files.next();
        contents[path] = readFileBytes(path);
    }
    ASSERT_TRUE(contents.contains(ini));
    for (const auto& [where, content] : contents.asKeyValueRange()) {
        EXPECT_FALSE(content.contains(password.toUtf8())) << where.toStdString();
        EXPECT_TRUE(where == ini || !content.contains(user.toUtf8())) << where.toStdString();
    }
}

}  // namespace
