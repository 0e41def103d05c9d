// houndly-ftp and its script reader, and sFtpPut: the script it writes and the
// upload through houndly-ftp to a real server.
#include "tests/support/LoopbackServers.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "upload/FtpScriptRunner.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

namespace {

class FtpPutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FtpClientProgram = HOUNDLY_FTP_CLIENT;
        FtpClientTimeLimitMs = 60000;
    }

    QString writeFile(const QString& name, const QByteArray& content, bool executable = false)
    {
        const QString path = writeFileBytes(work_.filePath(name), content);
        if (executable)
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        return path;
    }
    // A stand-in client that keeps a copy of the script and its permissions.
    void keepScriptCopies()
    {
        FtpClientProgram = writeFile("keep-script.sh", QString("#!/bin/sh\np=${2#-s:}; p=${p#\\\"}; p=${p%%\\\"}\n"
                                                               "cp \"$p\" '%1' && stat -c %a \"$p\" > '%1.mode'\n")
                                                           .arg(copyPath()).toUtf8(), true);
    }
    // A script in the runner's layout: open, user, password, steps, quit and two blank lines.
    static QByteArray scriptText(const QString& open, const QString& user, const QString& password, const QStringList& steps)
    {
        return (QStringList{"open " + open, user, password} + steps + QStringList{"quit", "", ""}).join("\r\n").toUtf8() + "\r\n";
    }
    QString script(const QByteArray& text) { return "-s:" + writeFile(QString("script%1.txt").arg(++scripts_), text); }
    QString copyPath() const { return work_.filePath("script-copy.txt"); }
    bool scriptLeft() const { return QFile::exists(work_.filePath("FTP_PUT.txt")); }

    QCoreApplication& application_ = testApplication();  // the wait runs its event loop
    FtpTestServer server_;
    QTemporaryDir work_;
    FtpServer to_{work_.path(), QString("127.0.0.1 %1").arg(server_.port()), FtpTestServer::kUser,
                  FtpTestServer::kPassword};
    int scripts_ = 0;
};

// Each upload, whatever its end, returns its result, leaves no script and one
// log record: what was sent, the result and the reason, for the user alone and
// without the password, whose letters a path may hold. What is sent arrives byte
// for byte, in binary, in its folder; a file the server confirmed is uploaded
// even when its QUIT goes unanswered. The client's own failures are its exit
// statuses (below).
TEST_F(FtpPutTest, EveryUploadReturnsItsResultAndLogsItsReason)
{
    FtpTestServer mute(FtpTestServer::kPassword, {"--stall", "quit"});
    ASSERT_TRUE(server_.running() && mute.running());
    ASSERT_TRUE(QDir(server_.root()).mkdir("two words"));
    ASSERT_TRUE(QDir(work_.path()).mkdir("home3"));
    const QString local = writeFile("home3/clip with space.AVI", sampleBytes(300000));
    const QString client = FtpClientProgram, host = to_.host, password = FtpTestServer::kPassword;
    const QString hang = writeFile("hang.sh", "#!/bin/sh\nexec sleep 30\n", true);
    const struct {
        const char* what;
        QString folder, host, password, file, program;
        int limitMs;
        QString reason;  // a part of the result line ("" when sent)
        const FtpTestServer* server = nullptr;  // the fixture's unless given
        bool closes = false;  // the program closes during the upload
    } rows[] = {
        {"sent", "sub", host, password, local, client, 60000, ""},
        {"sent to the top", "", host, password, local, client, 60000, ""},
        {"sent into a folder of two words", "two words", host, password, local, client, 60000, ""},
        {"sent, QUIT unanswered", "sub", QString("127.0.0.1 %1").arg(mute.port()), password, local, client, 3000, "", &mute},
        {"wrong password", "sub", host, "home", local, client, 60000, "Access denied: 530"},
        {"refused host", "sub", "127.0.0.1\nDELE x", password, local, client, 60000, "refused: the host holds a line break"},
        {"no local file", "sub", host, password, local + ".gone", client, 60000, "cannot read local file"},
        {"no client", "sub", host, password, local, work_.filePath("no-such-client"), 60000, "cannot start "},
        {"client over its time", "sub", host, password, local, hang, 2000, "no end within 2 s: stopped"},
        {"the program closes", "sub", host, password, local, hang, 60000, "ended: the program is closing", nullptr, true},
    };
    for (const auto& row : rows) {
        std::tie(to_.host, to_.password, FtpClientProgram, FtpClientTimeLimitMs) =
            std::tie(row.host, row.password, row.program, row.limitMs);
        const FtpTestServer& server = row.server ? *row.server : server_;
        const QString remote = row.folder.isEmpty() ? "a.AVI" : row.folder + "/a.AVI";
        QElapsedTimer elapsed;
        elapsed.start();
        bool uploaded = false;
        const auto put = [&] { uploaded = sFtpPut(to_, "a.AVI", row.file, row.folder, "binary"); };
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
        EXPECT_FALSE(scriptLeft()) << row.what;
        EXPECT_EQ(server.fileContent(remote) == readFileBytes(local), row.reason.isEmpty()) << row.what;
        EXPECT_TRUE(!row.reason.isEmpty() || server.transferType(remote) == "i") << row.what << ": not binary";
        QFile::remove(server.root() + "/" + remote);
    }
    const QString log = QString::fromUtf8(readFileBytes(work_.filePath("ftp.log.txt")));
    const QStringList records = log.split("----", Qt::SkipEmptyParts);
    ASSERT_EQ(records.size(), std::ssize(rows)) << log.toStdString();
    for (qsizetype i = 0; i < records.size(); ++i) {
        const auto& row = rows[i];
        const QStringList lines = records[i].trimmed().split('\n');
        ASSERT_EQ(lines.size(), 3) << row.what;
        EXPECT_TRUE(lines[0].endsWith(" FTP " + QString(row.host).replace("\n", "\\n"))) << row.what;
        EXPECT_EQ(lines[1], QString("* PUT \"%1\" %2").arg(row.file, row.folder.isEmpty() ? "a.AVI" : row.folder + "/a.AVI"))
            << row.what;
        EXPECT_TRUE(lines[2].startsWith(row.reason.isEmpty() ? "= uploaded" : "= not uploaded: ")) << row.what;
        EXPECT_TRUE(lines[2].contains(row.reason)) << row.what << ": " << lines[2].toStdString();
    }
    EXPECT_FALSE(log.contains("bark")) << "no password";
    EXPECT_EQ(QFile::permissions(work_.filePath("ftp.log.txt")) & 0x0077, 0) << "readable by others";
}

TEST_F(FtpPutTest, WritesTheScriptExactlyAndReadableByTheUserAloneAndNoneWithALineBreak)
{
    keepScriptCopies();
    to_.host = "ftp.example.net";
    const QString user = FtpTestServer::kUser, password = FtpTestServer::kPassword;
    // remote, local, folder, mode, user, password, the script
    const std::tuple<QString, QString, QString, QString, QString, QString, QByteArray> rows[] = {
        {"X.AVI", "/avi/a b.AVI", "up/dir", "binary", user, password,
         scriptText(to_.host, user, password, {"CD up/dir", "binary", "PUT \"/avi/a b.AVI\" X.AVI"})},
        {"notes.txt", "", "", "", "", "", scriptText(to_.host, "", "", {"ascii", "PUT \"notes.txt\" notes.txt"})},
    };
    for (const auto& [remote, local, folder, mode, rowUser, rowPassword, expected] : rows) {
        std::tie(to_.user, to_.password) = std::tie(rowUser, rowPassword);
        QFile::remove(copyPath());
        // A stale script readable by others, as a killed run may leave, is taken back.
        writeFile("FTP_PUT.txt", "stale");
        QFile::setPermissions(work_.filePath("FTP_PUT.txt"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        sFtpPut(to_, remote, local, folder, mode);
        EXPECT_EQ(readFileBytes(copyPath()), expected);
        EXPECT_EQ(readFileBytes(copyPath() + ".mode").trimmed(), "600");
        EXPECT_FALSE(scriptLeft());
    }

    // A line break in any value writes no script.
    QFile::remove(copyPath());
    const QString ok = "value";
    for (const QString bad : {"a\r\nquit", "a\nDELETE x", "a\rb"}) {
        for (QString* field : {&to_.host, &to_.user, &to_.password}) {
            const QString kept = std::exchange(*field, bad);
            EXPECT_FALSE(sFtpPut(to_, ok, ok, ok, "binary"));
            *field = kept;
        }
        EXPECT_FALSE(sFtpPut(to_, bad, ok, ok, "binary") || sFtpPut(to_, ok, bad, ok, "binary") ||
                     sFtpPut(to_, ok, ok, bad, "binary") || sFtpPut(to_, ok, ok, ok, bad));
    }
    EXPECT_FALSE(QFile::exists(copyPath()) || scriptLeft());
}

// Exit statuses: 0 done, 1 the server or the files failed, 2 unusable command line
// or script. Failures give one line on stderr, never the password. A script run
// by hand stays; one Houndly gives, with --remove-script, goes once read.
TEST_F(FtpPutTest, TheClientsExitStatusAndReasonForEachOutcome)
{
    ASSERT_TRUE(server_.running());
    const QByteArray content = sampleBytes(1000);
    const QStringList put{"binary", QString("PUT \"%1\" a.AVI").arg(writeFile("clip.avi", content))};
    const QString here = QString("127.0.0.1 %1").arg(server_.port()), user = FtpTestServer::kUser,
                  password = FtpTestServer::kPassword;
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

}  // namespace
