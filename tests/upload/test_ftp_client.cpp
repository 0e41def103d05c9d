// houndly-ftp against a real FTP server on loopback, and its script reader.
#include "tests/support/LoopbackServers.h"
#include "tests/support/TempAppFolder.h"
#include "upload/FtpScript.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct ClientRun {
    int exitCode = -1;
    QString errorOutput;
};

ClientRun runClient(const QStringList& arguments)
{
    QProcess client;
    client.start(QStringLiteral(HOUNDLY_FTP_CLIENT), arguments);
    client.waitForFinished(60000);
    return {client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1,
            QString::fromLocal8Bit(client.readAllStandardError())};
}

class FtpClientTest : public ::testing::Test {
protected:
    QString writeFile(const QString& name, const QByteArray& content) { return writeFileBytes(work_.filePath(name), content); }

    // The option naming a script in the runner's layout: open, user, password, steps, quit.
    QString script(int port, const QString& password, const QStringList& steps)
    {
        const QStringList lines = QStringList{QString("open 127.0.0.1 %1").arg(port), FtpTestServer::kUser, password} +
                                  steps + QStringList{"quit", "", ""};
        return "-s:" + writeFile(QString("script%1.txt").arg(++scripts_), (lines.join("\r\n") + "\r\n").toUtf8());
    }

    FtpTestServer server_;
    QTemporaryDir work_;
    int scripts_ = 0;
};

// Exit statuses: 0 done, 1 the server or the files failed, 2 unusable command line
// or script. Failures give one line on stderr, never the password.
TEST_F(FtpClientTest, ExitStatusAndReasonForEachOutcome)
{
    ASSERT_TRUE(server_.running());
    const QByteArray content = sampleBytes(1000);
    const QString local = writeFile("clip.avi", content);
    const QString put = QString("PUT \"%1\" a.AVI").arg(local);
    const int port = server_.port();
    const QString password = FtpTestServer::kPassword;
    struct Row {
        const char* name;
        QStringList arguments;
        int exitCode;
    };
    const Row rows[] = {
        {"unquoted script path", {script(port, password, {put})}, 0},
        {"wrong password", {script(port, "bark once", {put})}, 1},
        {"server down", {script(closedLoopbackPort(), password, {put})}, 1},
        {"missing folder", {script(port, password, {"CD nowhere", put})}, 1},
        {"log-in refused, nothing to send", {script(port, "bark once", {})}, 1},
        {"no option", {}, 2},
        {"other option", {"-x"}, 2},
        {"empty script path", {"-s:"}, 2},
        {"absent script", {"-s:" + work_.filePath("absent.txt")}, 2},
        {"unknown command", {"-s:" + writeFile("bad.txt", "open 127.0.0.1\r\nu\r\np\r\nMGET *\r\n")}, 2},
    };
    for (const Row& row : rows) {
        QFile::remove(server_.root() + "/a.AVI");
        const ClientRun run = runClient(row.arguments);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.name << ": " << run.errorOutput.toStdString();
        EXPECT_EQ(server_.fileContent("a.AVI") == content, row.exitCode == 0) << row.name;
        EXPECT_EQ(run.errorOutput.count('\n'), row.exitCode == 0 ? 0 : 1) << row.name;
        EXPECT_FALSE(run.errorOutput.contains("bark")) << row.name;
    }
}

TEST(FtpScriptTest, ReadsTheLogInAnswersAndSteps)
{
    const FtpScriptParse parsed = parseFtpScript("open ftp.example.net 2121\r\nhound\r\n  two words  \r\nCD \"a folder\"\r\n"
                                                 "binary\r\nPUT \"/tmp/x y.avi\" X.AVI\r\nascii\r\nput /tmp/notes.txt\r\n"
                                                 "quit\r\nPUT ignored after quit\r\n");
    ASSERT_TRUE(parsed.script) << parsed.error.toStdString();
    const FtpScript& script = *parsed.script;
    EXPECT_EQ(QStringList({script.host, QString::number(script.port), script.user, script.password}),
              QStringList({"ftp.example.net", "2121", "hound", "  two words  "}));
    ASSERT_EQ(script.steps.size(), 5u);
    EXPECT_EQ(script.steps[0].folder, "a folder");
    EXPECT_EQ(script.steps[1].kind, FtpStep::Kind::Binary);
    EXPECT_EQ(QStringList({script.steps[2].localPath, script.steps[2].remoteName}), QStringList({"/tmp/x y.avi", "X.AVI"}));
    EXPECT_EQ(script.steps[3].kind, FtpStep::Kind::Ascii);
    EXPECT_EQ(script.steps[4].remoteName, "notes.txt");
}

TEST(FtpScriptTest, RefusesScriptsItCannotCarryOut)
{
    const char* rows[] = {
        "",                                     // no open
        "binary\r\nopen h\r\nu\r\np\r\n",       // command before open
        "open\r\nu\r\np\r\n",                   // no host
        "open h 70000\r\nu\r\np\r\n",           // port out of range
        "open h 21x\r\nu\r\np\r\n",             // port not a number
        "open h\r\nu\r\np\r\nopen g\r\n",       // second open
        "open h\r\nu\r\np\r\nPUT\r\n",          // nothing to send
        "open h\r\nu\r\np\r\nPUT a b c\r\n",    // too many names
        "open h\r\nu\r\np\r\nCD\r\n",           // no folder
        "open h\r\nu\r\np\r\nDELETE x\r\n",     // unknown command
    };
    for (const char* text : rows) {
        const FtpScriptParse parsed = parseFtpScript(QString::fromUtf8(text));
        EXPECT_FALSE(parsed.script) << text;
        EXPECT_FALSE(parsed.error.isEmpty()) << text;
    }
}

}  // namespace
