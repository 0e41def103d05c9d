// Uploads through houndly-ftp to real servers on 127.0.0.1: the client and its
// script reader, sFtpPut, the background upload queue (one at a time, in order,
// bounded) and the encrypted modes (a TLS FTP server with a private authority,
// OpenSSH's sshd).
#include "tests/support/LoopbackServers.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SshServer.h"
#include "tests/support/StandardError.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "upload/FtpScriptRunner.h"
#include "upload/PendingUploads.h"
#include "upload/UploadQueue.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <ctime>

#include <pwd.h>
#include <unistd.h>

namespace {

constexpr int kProgramTimeLimitMs = 10 * 60 * 1000;

class UploadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FtpClientProgram = HOUNDLY_FTP_CLIENT;
        EXPECT_EQ(FtpClientTimeLimitMs, kProgramTimeLimitMs) << "the program's bound of one upload";
        FtpClientTimeLimitMs = 60000;
    }
    void TearDown() override
    {
        FtpClientTimeLimitMs = kProgramTimeLimitMs;
        qunsetenv("HOUNDLY_CA_FILE");
    }

    // A stand-in client: `body` runs with $p the script it is given.
    QString standIn(const QString& name, const QString& body)
    {
        const QString path = writeFileBytes(work_.filePath(name),
                                            ("#!/bin/sh\np=${2#-s:}; p=${p#\\\"}; p=${p%\\\"}\n" + body).toUtf8());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        return path;
    }
    // A file to send, of its own bytes.
    QString clipFile(const QString& name, int size = 50000) { return writeFileBytes(work_.filePath(name), sampleBytes(size)); }
    FtpServer serverAt(int port, const QString& password = FtpTestServer::kPassword, const QString& mode = {}) const
    {
        return {work_.path(), QString("127.0.0.1 %1").arg(port), FtpTestServer::kUser, password, mode};
    }
    // Uploads through a queue of its own, as Houndly does; "" when it went up, else the reason.
    static QString queued(const ClipUpload& upload)
    {
        UploadQueue queue;
        std::optional<QString> reason;
        QObject::connect(&queue, &UploadQueue::uploaded,
                         [&reason](const ClipUpload&, bool ok, const QString& why) { reason = ok ? QString() : why; });
        queue.add(upload);
        EXPECT_TRUE(QTest::qWaitFor([&reason] { return reason.has_value(); }, 60000));
        return reason.value_or("(no end)");
    }
    QString scriptPath() const { return work_.filePath("FTP_PUT.txt"); }
    QString uploadLog() const { return QString::fromUtf8(readFileBytes(work_.filePath("ftp.log.txt"))); }

    QCoreApplication& application_ = testApplication();  // the waits and the queue run its event loop
    TempAppFolder work_;
    FtpTestServer server_;
};

using FtpPutTest = UploadTest;

// A script in the runner's layout: open, user, password, steps, quit and two blank lines.
QByteArray scriptText(const QString& open, const QString& user, const QString& password, const QStringList& steps)
{
    return (QStringList{"open " + open, user, password} + steps + QStringList{"quit", "", ""}).join("\r\n").toUtf8() + "\r\n";
}

// Each upload, whatever its end, returns its result, leaves no script and one
// log record: what was sent, the result and the reason, for the user alone and
// without the password, whose letters a path may hold. What is sent arrives byte
// for byte, in binary, in its folder; a file the server confirmed is uploaded
// even when its QUIT goes unanswered.
TEST_F(FtpPutTest, EveryUploadReturnsItsResultAndLogsItsReason)
{
    FtpTestServer mute(FtpTestServer::kPassword, {"--stall", "quit"});
    ASSERT_TRUE(server_.running() && mute.running());
    ASSERT_TRUE(QDir(server_.root()).mkdir("two words"));
    ASSERT_TRUE(QDir(work_.path()).mkdir("home3"));
    const QString local = clipFile("home3/clip with space.AVI", 300000);
    const QString client = FtpClientProgram, host = serverAt(server_.port()).host;
    const QString hang = standIn("hang.sh", "exec sleep 30\n");
    const struct {
        const char* what;
        QString folder, host, file, program;
        int limitMs;
        QString reason;  // a part of the result line ("" when sent)
        const FtpTestServer* server = nullptr;  // the fixture's unless given
        bool closes = false;  // the program closes during the upload
    } rows[] = {
        {"sent to the top", "", host, local, client, 60000, ""},
        {"sent into a folder of two words", "two words", host, local, client, 60000, ""},
        {"sent, QUIT unanswered", "sub", QString("127.0.0.1 %1").arg(mute.port()), local, client, 3000, "", &mute},
        {"refused host", "sub", "127.0.0.1\nDELE x", local, client, 60000, "refused: the host holds a line break"},
        {"no local file", "sub", host, local + ".gone", client, 60000, "cannot read local file"},
        {"no port: FTP's own", "sub", "127.0.0.1", local, client, 60000, "127.0.0.1 port 21 "},
        {"no client", "sub", host, local, work_.filePath("no-such-client"), 60000, "cannot start "},
        {"client over its time", "sub", host, local, hang, 2000, "no end within 2 s: stopped"},
        {"the program closes", "sub", host, local, hang, 60000, "ended: the program is closing", nullptr, true},
    };
    FtpServer to = serverAt(server_.port());
    for (const auto& row : rows) {
        std::tie(to.host, FtpClientProgram, FtpClientTimeLimitMs) = std::tie(row.host, row.program, row.limitMs);
        const FtpTestServer& server = row.server ? *row.server : server_;
        const QString remote = row.folder.isEmpty() ? "a.AVI" : row.folder + "/a.AVI";
        QElapsedTimer elapsed;
        elapsed.start();
        const std::clock_t processorBefore = std::clock();
        bool uploaded = false;
        const auto put = [&] { uploaded = sFtpPut(to, "a.AVI", row.file, row.folder, "binary"); };
        if (row.closes) {
            // As the window's close does, while the upload's wait serves the events.
            QTimer::singleShot(0, put);
            QTimer::singleShot(500, &QCoreApplication::quit);
            QCoreApplication::exec();
        } else {
            put();
        }
        EXPECT_EQ(uploaded, row.reason.isEmpty()) << row.what;
        EXPECT_LT(elapsed.elapsed(), 20000) << row.what;
        EXPECT_LT(1000.0 * double(std::clock() - processorBefore) / CLOCKS_PER_SEC, 0.5 * double(elapsed.elapsed()) + 200)
            << row.what << ": the wait keeps a processor busy";
        EXPECT_FALSE(QFile::exists(scriptPath())) << row.what;
        EXPECT_EQ(server.fileContent(remote) == readFileBytes(local), row.reason.isEmpty()) << row.what;
        EXPECT_TRUE(!row.reason.isEmpty() || server.transferType(remote) == "i") << row.what << ": not binary";
        // Its record is the log's last: where to, what, and how it ended.
        const QStringList record = uploadLog().section("----", -1).trimmed().split('\n');
        EXPECT_EQ(record.size(), 3) << row.what;
        EXPECT_TRUE(record.value(0).endsWith(" FTP " + QString(row.host).replace("\n", "\\n"))) << row.what;
        EXPECT_EQ(record.value(1), QString("* PUT \"%1\" %2").arg(row.file, remote)) << row.what;
        EXPECT_TRUE(record.value(2).startsWith(row.reason.isEmpty() ? "= uploaded" : "= not uploaded: ") &&
                    record.value(2).contains(row.reason)) << row.what << ": " << record.value(2).toStdString();
        QFile::remove(server.root() + "/" + remote);
    }
    const QString log = uploadLog();
    EXPECT_EQ(log.count("\n* PUT "), std::ssize(rows)) << "one record each";
    EXPECT_FALSE(log.contains("bark")) << "no password";
    EXPECT_EQ(QFile::permissions(work_.filePath("ftp.log.txt")) & 0x0077, 0) << "readable by others";
}

TEST_F(FtpPutTest, WritesTheScriptExactlyAndReadableByTheUserAloneAndNoneWithALineBreak)
{
    const QString copy = work_.filePath("script-copy.txt");
    FtpClientProgram = standIn("keep-script.sh", QString("cp \"$p\" '%1' && stat -c %a \"$p\" > '%1.mode'\n").arg(copy));
    FtpServer to = serverAt(server_.port());
    to.host = "ftp.example.net";
    const QString user = FtpTestServer::kUser, password = FtpTestServer::kPassword;
    // remote, local, folder, mode, user, password, the script
    const std::tuple<QString, QString, QString, QString, QString, QString, QByteArray> rows[] = {
        {"X.AVI", "/avi/a b.AVI", "up/dir", "binary", user, password,
         scriptText(to.host, user, password, {"CD up/dir", "binary", "PUT \"/avi/a b.AVI\" X.AVI"})},
        {"notes.txt", "", "", "", "", "", scriptText(to.host, "", "", {"ascii", "PUT \"notes.txt\" notes.txt"})},
    };
    for (const auto& [remote, local, folder, mode, rowUser, rowPassword, expected] : rows) {
        std::tie(to.user, to.password) = std::tie(rowUser, rowPassword);
        QFile::remove(copy);
        // A stale script readable by others, as a killed run may leave, is taken back.
        writeFileBytes(scriptPath(), "stale");
        QFile::setPermissions(scriptPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        sFtpPut(to, remote, local, folder, mode);
        EXPECT_EQ(readFileBytes(copy), expected);
        EXPECT_EQ(readFileBytes(copy + ".mode").trimmed(), "600");
        EXPECT_FALSE(QFile::exists(scriptPath()));
    }

    // A line break in any value writes no script.
    QFile::remove(copy);
    const QString ok = "value";
    for (const QString bad : {"a\r\nquit", "a\nDELETE x", "a\rb"}) {
        for (QString* field : {&to.host, &to.user, &to.password}) {
            const QString kept = std::exchange(*field, bad);
            EXPECT_FALSE(sFtpPut(to, ok, ok, ok, "binary"));
            *field = kept;
        }
        EXPECT_FALSE(sFtpPut(to, bad, ok, ok, "binary") || sFtpPut(to, ok, bad, ok, "binary") ||
                     sFtpPut(to, ok, ok, bad, "binary") || sFtpPut(to, ok, ok, ok, bad));
    }
    EXPECT_FALSE(QFile::exists(copy) || QFile::exists(scriptPath()));
}

// Exit statuses: 0 done, 1 the server or the files failed, 2 unusable command line
// or script. Failures give one line on stderr, never the password. A script run
// by hand stays; one Houndly gives, with --remove-script, goes once read.
TEST_F(FtpPutTest, TheClientsExitStatusAndReasonForEachOutcome)
{
    ASSERT_TRUE(server_.running());
    const QByteArray content = sampleBytes(1000);
    const QStringList put{"binary", QString("PUT \"%1\" a.AVI").arg(writeFileBytes(work_.filePath("clip.avi"), content))};
    const QString here = serverAt(server_.port()).host, user = FtpTestServer::kUser, password = FtpTestServer::kPassword;
    int scripts = 0;
    const auto script = [&](const QByteArray& text) {
        return "-s:" + writeFileBytes(work_.filePath(QString("script%1.txt").arg(++scripts)), text);
    };
    const std::tuple<const char*, QStringList, int> rows[] = {  // what, arguments, exit status
        {"unquoted script path", {script(scriptText(here, user, password, put))}, 0},
        {"script removed once read", {"--remove-script", script(scriptText(here, user, "bark once", put))}, 1},
        {"wrong password", {script(scriptText(here, user, "bark once", put))}, 1},
        {"server down", {script(scriptText(QString("127.0.0.1 %1").arg(closedLoopbackPort()), user, password, put))}, 1},
        {"missing folder", {script(scriptText(here, user, password, QStringList{"CD nowhere"} + put))}, 1},
        {"no option", {}, 2},
        {"both encryptions", {"--ftps", "--sftp", script(scriptText(here, user, password, put))}, 2},
        {"empty script path", {"-s:"}, 2},
        {"absent script", {"-s:" + work_.filePath("absent.txt")}, 2},
        {"unknown command", {script("open 127.0.0.1\r\nu\r\np\r\nMGET *\r\n")}, 2},
        {"no open", {script("")}, 2},
        {"command before open", {script("binary\r\nopen h\r\nu\r\np\r\n")}, 2},
        {"no host", {script("open\r\nu\r\np\r\n")}, 2},
        {"port out of range", {script("open h 70000\r\nu\r\np\r\n")}, 2},
        {"second open", {script("open h\r\nu\r\np\r\nopen g\r\n")}, 2},
        {"nothing to send", {script("open h\r\nu\r\np\r\nPUT\r\n")}, 2},
        {"no folder", {script("open h\r\nu\r\np\r\nCD\r\n")}, 2},
    };
    for (const auto& [what, arguments, exitCode] : rows) {
        QFile::remove(server_.root() + "/a.AVI");
        const QString scriptFile = arguments.isEmpty() ? QString() : arguments.back().mid(3);
        const bool hadScript = QFile::exists(scriptFile);
        QProcess client;
        client.start(QStringLiteral(HOUNDLY_FTP_CLIENT), arguments);
        client.waitForFinished(60000);
        EXPECT_EQ(QFile::exists(scriptFile), hadScript && !arguments.contains("--remove-script")) << what;
        const QString errors = QString::fromLocal8Bit(client.readAllStandardError());
        EXPECT_EQ(client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1, exitCode) << what << ": " << errors.toStdString();
        EXPECT_EQ(server_.fileContent("a.AVI") == content, exitCode == 0) << what;
        EXPECT_TRUE(exitCode != 0 || server_.transferType("a.AVI") == "i") << what << ": not binary";
        EXPECT_EQ(errors.count('\n'), exitCode == 0 ? 0 : 1) << what;
        EXPECT_FALSE(errors.contains("bark")) << what;
    }
}

class UploadQueueTest : public UploadTest {
protected:
    void SetUp() override
    {
        UploadTest::SetUp();
        QObject::connect(&queue_, &UploadQueue::uploaded, [this](const ClipUpload& upload, bool ok, const QString& reason) {
            ended_ << upload.remoteName + (ok ? "" : " failed: " + reason);
            scriptsWhenEnded_ += QFile::exists(scriptPath()) ? 1 : 0;
        });
        QObject::connect(&queue_, &UploadQueue::dropped, [this](const ClipUpload& upload) { dropped_ << upload.remoteName; });
        QObject::connect(&queue_, &UploadQueue::cut, [this](const ClipUpload& upload) { cut_ << upload.remoteName; });
    }

    // A clip of its own bytes, to go up under its own name.
    ClipUpload clip(const QString& name) { return {clipFile(name), name, "", "", serverAt(server_.port())}; }
    // A stand-in client that notes its start in "modes", then waits `seconds` before running the real one.
    void useSlowClient(int seconds)
    {
        FtpClientProgram = standIn(QString("slow-client-%1.sh").arg(seconds),
                                   QString("stat -c %a \"$p\" >> '%1'\nsleep %2 >/dev/null 2>&1\nexec '%3' \"$@\"\n")
                                       .arg(work_.filePath("modes"), QString::number(seconds), HOUNDLY_FTP_CLIENT));
    }

    UploadQueue queue_;
    QStringList ended_;
    QStringList dropped_;
    QStringList cut_;
    int scriptsWhenEnded_ = 0;
};

// Uploads run one at a time, in order. A full queue drops its oldest waiting
// upload and keeps that clip; shutting down ends the running upload within its
// bound, deleting its script, and cuts it, the waiting ones and any added
// later: they stay pending for the next start, the others do not.
TEST_F(UploadQueueTest, UploadsRunOneAtATimeInOrderAndAFullQueueDropsTheOldestAndShutDownCutsTheRest)
{
    ASSERT_TRUE(server_.running());
    useSlowClient(1);

    const QStringList names = {"000000000001_ALERT.AVI", "000000000002_ALERT.AVI", "000000000003_ALERT.AVI"};
    for (const QString& name : names)
        queue_.add(clip(name));
    EXPECT_TRUE(queue_.isBusy());
    EXPECT_EQ(queue_.waitingCount(), 2);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !queue_.isBusy(); }, 60000));

    EXPECT_EQ(ended_, names);
    EXPECT_EQ(scriptsWhenEnded_, 0);
    // One after the other: each arrived after the one before it.
    for (int index = 1; index < names.size(); ++index) {
        EXPECT_EQ(server_.fileContent(names[index]), readFileBytes(work_.filePath(names[index])));
        EXPECT_GE(QFileInfo(server_.root() + '/' + names[index]).lastModified(),
                  QFileInfo(server_.root() + '/' + names[index - 1]).lastModified().addMSecs(900));
    }

    ended_.clear();
    QFile::remove(work_.filePath("modes"));
    useSlowClient(30);
    for (int index = 1; index <= 8; ++index)
        queue_.add(clip(QString("%1.AVI").arg(index)));
    EXPECT_EQ(queue_.waitingCount(), 5) << "five wait at most";
    EXPECT_EQ(dropped_, (QStringList{"2.AVI", "3.AVI"})) << "the first runs; the oldest waiting go";
    EXPECT_TRUE(QFile::exists(work_.filePath("2.AVI")));
    ASSERT_TRUE(QTest::qWaitFor([this] { return QFile::exists(work_.filePath("modes")); }, 20000));
    EXPECT_EQ(readFileBytes(work_.filePath("modes")).trimmed(), "600") << "the script for the user alone";
    ASSERT_TRUE(QFile::exists(scriptPath()));
    EXPECT_TRUE(ended_.isEmpty());

    QElapsedTimer elapsed;
    elapsed.start();
    queue_.shutDown(std::chrono::milliseconds(1000));
    EXPECT_LT(elapsed.elapsed(), 8000);
    EXPECT_FALSE(queue_.isBusy());
    EXPECT_FALSE(QFile::exists(scriptPath()));
    queue_.add(clip("late.AVI"));
    EXPECT_FALSE(queue_.isBusy());
    EXPECT_TRUE(ended_.isEmpty()) << ended_.join(' ').toStdString();
    EXPECT_EQ(dropped_, (QStringList{"2.AVI", "3.AVI"}));
    const QStringList cut = {"4.AVI", "5.AVI", "6.AVI", "7.AVI", "8.AVI", "1.AVI", "late.AVI"};
    EXPECT_EQ(cut_, cut);
    QStringList pending;
    for (const QString& name : QStringList{"1.AVI", "4.AVI", "5.AVI", "6.AVI", "7.AVI", "8.AVI", "late.AVI"})
        pending << work_.filePath(name);
    EXPECT_EQ(pendingUploads(work_.path()), pending);
    EXPECT_EQ(QFile::permissions(work_.filePath(kPendingUploadsName)) & 0x0077, 0) << "readable by others";
    EXPECT_EQ(uploadLog().count("= not uploaded: dropped: too many uploads waiting\n"), 2);
    EXPECT_EQ(uploadLog().count("= not uploaded: " + kEndedByClosing + "\n"), cut.size());
}

TEST_F(UploadQueueTest, FailuresEndTheirUploadAndTheNextRuns)
{
    ASSERT_TRUE(server_.running());
    const struct {
        const char* what;
        QString client;
        int limitMs;
        QString password, mode;
        QString reason;  // as the upload log gives it
    } rows[] = {
        {"the client cannot start", work_.filePath("no-such-client"), 60000, FtpTestServer::kPassword, "",
         "cannot start " + work_.filePath("no-such-client")},
        {"the client runs over its time", "", 1000, FtpTestServer::kPassword, "", "the client did not end by itself"},
        {"the server refuses the log-in", HOUNDLY_FTP_CLIENT, 60000, "bark once", "", "Access denied: 530"},
        {"a line break in the password", HOUNDLY_FTP_CLIENT, 60000, "a\nquit", "", "refused: the password holds a line break"},
        {"a mistyped encryption", HOUNDLY_FTP_CLIENT, 60000, FtpTestServer::kPassword, "TLS",
         "refused: the encryption \"TLS\" is none of FTPS, SFTP"},
        {"the client says more than its reason", standIn("talk.sh", "printf %05000d 0 >&2; exit 1\n"), 60000,
         FtpTestServer::kPassword, "", QString(4096, u'0')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ended_.clear();
        if (row.client.isEmpty())
            useSlowClient(30);
        else
            FtpClientProgram = row.client;
        FtpClientTimeLimitMs = row.limitMs;
        ClipUpload failing = clip("bad.AVI");
        std::tie(failing.server.password, failing.server.encryption) = std::tie(row.password, row.mode);
        queue_.add(failing);  // starts at once, with the row's client and time limit
        FtpClientProgram = HOUNDLY_FTP_CLIENT;
        FtpClientTimeLimitMs = 60000;  // the good upload must not run short on a busy machine
        queue_.add(clip("good.AVI"));
        QElapsedTimer elapsed;
        elapsed.start();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !queue_.isBusy(); }, 60000));
        EXPECT_LT(elapsed.elapsed(), 20000);
        ASSERT_EQ(ended_.size(), 2);
        EXPECT_TRUE(ended_[0].startsWith("bad.AVI failed: ") && ended_[0].contains(row.reason)) << ended_[0].toStdString();
        EXPECT_EQ(ended_[1], "good.AVI");
        EXPECT_FALSE(QFile::exists(scriptPath()));
    }

    // Each upload left its record and reason in the upload log, without a password.
    const QString log = uploadLog();
    EXPECT_EQ(log.count("\n= uploaded\n"), std::ssize(rows)) << log.toStdString();
    EXPECT_EQ(log.count("\n= not uploaded: "), std::ssize(rows)) << log.toStdString();
    EXPECT_TRUE(log.contains("line break")) << log.toStdString();
    EXPECT_TRUE(log.contains(": " + QString(4096, u'0') + "\n")) << "the client's reason, cut at 4096 bytes";
    EXPECT_FALSE(log.contains(FtpTestServer::kPassword) || log.contains("bark once")) << log.toStdString();
    EXPECT_EQ(QFile::permissions(work_.filePath("ftp.log.txt")) & 0x0077, 0) << "readable by others";

    // A client that told the file stored is not cut by the close: it is not sent again.
    UploadQueue closing;
    FtpClientProgram = standIn("stored.sh", "echo stored kept.AVI; exec sleep 30\n");
    closing.add(clip("kept.AVI"));
    closing.shutDown(std::chrono::milliseconds(1000));
    EXPECT_EQ(pendingUploads(work_.path()), QStringList{});

    // The close meets a client that is still failing to start.
    FtpClientProgram = work_.filePath("no-such-client");
    queue_.add(clip("last.AVI"));
    queue_.shutDown(std::chrono::milliseconds(1000));
    EXPECT_FALSE(queue_.isBusy());
}

using SecureUploadTest = UploadTest;

// FTPS speaks TLS before the log-in, to a server whose authority is trusted
// only when named; a server without TLS is refused rather than sent to in clear.
TEST_F(SecureUploadTest, FtpsGoesOnlyToAServerItsAuthorityVouchesFor)
{
    const TestCertificate authority = makeCertificate(work_.path());
    FtpTestServer tls(FtpTestServer::kPassword, {"--cert", authority.certificate, "--key", authority.key});
    ASSERT_TRUE(tls.running() && server_.running());
    const QString clip = clipFile("clip.AVI", 200000);
    const struct {
        const char* what;
        const FtpTestServer& server;
        bool trusted;
        QString reason;  // a part of it
    } rows[] = {
        {"trusted", tls, true, ""},
        {"untrusted", tls, false, "refused: the server's certificate is not trusted (SSL certificate problem"},
        {"no TLS", server_, true, "refused: the server offers no TLS"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.trusted)
            qputenv("HOUNDLY_CA_FILE", authority.certificate.toUtf8());
        else
            qunsetenv("HOUNDLY_CA_FILE");
        const QString reason = queued({clip, "a.AVI", "", "sub", serverAt(row.server.port(), FtpTestServer::kPassword, "FTPS")});
        EXPECT_TRUE(row.reason.isEmpty() ? reason.isEmpty() : reason.contains(row.reason)) << reason.toStdString();
        EXPECT_EQ(row.server.fileContent("sub/a.AVI") == readFileBytes(clip), row.reason.isEmpty());
        QFile::remove(row.server.root() + "/sub/a.AVI");
    }
}

// SFTP logs in with the user's key; the server's host key is remembered in
// ~/.ssh/known_hosts at the first upload with its fingerprint told, accepted
// after, and refused once it is another.
TEST_F(SecureUploadTest, SftpRemembersTheHostKeyAndRefusesAnother)
{
    const QByteArray home = qgetenv("HOME");
    const auto restore = qScopeGuard([&] { qputenv("HOME", home); });
    qputenv("HOME", work_.path().toUtf8());
    SshTestServer sshd(work_.path());
    ASSERT_TRUE(sshd.running());
    const QString folder = work_.filePath("server/clips");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString clip = clipFile("clip.AVI", 200000);
    FtpServer to = serverAt(sshd.port(), {}, "SFTP");
    to.user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);  // whom this sshd admits
    const auto upload = [&] {
        QFile::remove(folder + "/a.AVI");
        return queued({clip, "a.AVI", "", folder, to});
    };
    const QString knownHosts = work_.filePath(".ssh/known_hosts");
    const QString entry = QString("[127.0.0.1]:%1 ").arg(sshd.port());

    const QString fingerprint = sshd.hostKeyFingerprint();
    ASSERT_TRUE(fingerprint.startsWith("SHA256:"));
    QString firstReason = "(not run)";
    const QByteArray told = standardErrorOf([&] { firstReason = upload(); });
    EXPECT_EQ(firstReason, QString());
    EXPECT_TRUE(told.contains(QString("remembered the host key of %1in %2: %3\n").arg(entry, knownHosts, fingerprint).toUtf8()))
        << told.constData();
    EXPECT_EQ(readFileBytes(folder + "/a.AVI"), readFileBytes(clip));
    const QString remembered = QString::fromUtf8(readFileBytes(knownHosts));
    EXPECT_TRUE(remembered.startsWith(entry + "ssh-ed25519 ")) << remembered.toStdString();
    EXPECT_EQ(upload(), QString());
    EXPECT_EQ(readFileBytes(knownHosts), remembered.toUtf8()) << "known once, not again";

    writeFileBytes(knownHosts, (entry + sshd.otherHostKey() + "\n").toUtf8());
    const QString reason = upload();
    EXPECT_TRUE(reason.contains(QString("refused: the host key of [127.0.0.1]:%1 has changed (now %2)").arg(sshd.port()).arg(fingerprint)))
        << reason.toStdString();
    EXPECT_FALSE(QFile::exists(folder + "/a.AVI"));
}

}  // namespace
