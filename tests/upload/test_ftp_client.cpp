// houndly-ftp against a real FTP server on loopback, and its script reader.
#include "tests/support/LoopbackServers.h"
#include "tests/support/TempAppFolder.h"
#include "upload/FtpScript.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

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
    const QStringList put{"binary", QString("PUT \"%1\" a.AVI").arg(local)};
    const int port = server_.port();
    const QString password = FtpTestServer::kPassword;
    const std::tuple<const char*, QStringList, int> rows[] = {  // what, arguments, exit status
        {"unquoted script path", {script(port, password, put)}, 0},
        {"wrong password", {script(port, "bark once", put)}, 1},
        {"server down", {script(closedLoopbackPort(), password, put)}, 1},
        {"missing folder", {script(port, password, QStringList{"CD nowhere"} + put)}, 1},
        {"no option", {}, 2},
        {"empty script path", {"-s:"}, 2},
        {"absent script", {"-s:" + work_.filePath("absent.txt")}, 2},
        {"unknown command", {"-s:" + writeFile("bad.txt", "open 127.0.0.1\r\nu\r\np\r\nMGET *\r\n")}, 2},
    };
    for (const auto& [what, arguments, exitCode] : rows) {
        QFile::remove(server_.root() + "/a.AVI");
        QProcess client;
        client.start(QStringLiteral(HOUNDLY_FTP_CLIENT), arguments);
        client.waitForFinished(60000);
        const QString errors = QString::fromLocal8Bit(client.readAllStandardError());
        EXPECT_EQ(client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1, exitCode) << what << ": " << errors.toStdString();
        EXPECT_EQ(server_.fileContent("a.AVI") == content, exitCode == 0) << what;
        if (exitCode == 0) {
            EXPECT_EQ(server_.transferType("a.AVI").toStdString(), "i") << what;
        }
        EXPECT_EQ(errors.count('\n'), exitCode == 0 ? 0 : 1) << what;
        EXPECT_FALSE(errors.contains("bark")) << what;
    }
}

TEST(FtpScriptTest, RefusesScriptsItCannotCarryOut)
{
    const char* rows[] = {
        "",                                     // no open
        "binary\r\nopen h\r\nu\r\np\r\n",       // command before open
        "open\r\nu\r\np\r\n",                   // no host
        "open h 70000\r\nu\r\np\r\n",           // port out of range
        "open h\r\nu\r\np\r\nopen g\r\n",       // second open
        "open h\r\nu\r\np\r\nPUT\r\n",          // nothing to send
        "open h\r\nu\r\np\r\nCD\r\n",           // no folder
    };
    for (const char* text : rows) {
        const FtpScriptParse parsed = parseFtpScript(QString::fromUtf8(text));
        EXPECT_TRUE(!parsed.script && !parsed.error.isEmpty()) << text;
    }
}

}  // namespace
