// sFtpPut: the script it writes and the upload through houndly-ftp to a real server.
#include "tests/support/LoopbackServers.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "upload/FtpScriptRunner.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>

namespace {

class FtpPutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FtpScriptDir = work_.path();  // without a trailing "/"
        FtpHost = QString("127.0.0.1 %1").arg(server_.port());
        FtpUser = FtpTestServer::kUser;
        FtpPassword = FtpTestServer::kPassword;
        FtpClientProgram = HOUNDLY_FTP_CLIENT;
        FtpClientTimeLimitMs = 60000;
    }

    QString writeFile(const QString& name, const QByteArray& content)
    {
        return writeFileBytes(work_.filePath(name), content);
    }
    // A stand-in client that keeps a copy of the script and its permissions.
    void keepScriptCopies()
    {
        FtpClientProgram = writeFile("keep-script.sh", QString("#!/bin/sh\np=${1#-s:}; p=${p#\\\"}; p=${p%%\\\"}\n"
                                                               "cp \"$p\" '%1' && stat -c %a \"$p\" > '%1.mode'\n")
                                                           .arg(copyPath())
                                                           .toUtf8());
        QFile::setPermissions(FtpClientProgram, QFile::ReadOwner | QFile::ExeOwner);
    }
    QString copyPath() const { return work_.filePath("script-copy.txt"); }
    bool scriptLeft() const { return QFile::exists(work_.filePath("FTP_PUT.txt")); }

    QCoreApplication& application_ = testApplication();  // the wait runs its event loop
    FtpTestServer server_;
    QTemporaryDir work_;
};

TEST_F(FtpPutTest, UploadsByteForByteIntoTheFolderAndLeavesNoScript)
{
    ASSERT_TRUE(server_.running());
    const QByteArray content = sampleBytes(300000);
    const QString local = writeFile("clip with space.AVI", content);
    for (const auto& [folder, remote] : {std::pair{"", "060705140309_ALERT.AVI"}, std::pair{"sub", "ALERT.AVI"}}) {
        EXPECT_TRUE(sFtpPut(remote, local, folder, "binary"));
        const QString remotePath = *folder ? QString("%1/%2").arg(folder, remote) : remote;
        EXPECT_EQ(server_.fileContent(remotePath), content) << remotePath.toStdString();
        EXPECT_FALSE(scriptLeft());
        EXPECT_EQ(FtpScriptDir, work_.path() + '/') << "one \"/\" added, once";
    }
}

TEST_F(FtpPutTest, FailedUploadsReturnFalseAndLeaveNoScript)
{
    ASSERT_TRUE(server_.running());
    const QString local = writeFile("clip.AVI", sampleBytes(1000));
    const QString hanging = writeFile("hang.sh", "#!/bin/sh\nexec sleep 30\n");
    QFile::setPermissions(hanging, QFile::ReadOwner | QFile::ExeOwner);
    struct Row {
        const char* name;
        QString host, password, local, program;
        int timeLimitMs = 60000;
    };
    const QString host = FtpHost;
    const QString client = FtpClientProgram;
    const Row rows[] = {
        {"wrong password", host, "bark once", local, client},
        {"server down", QString("127.0.0.1 %1").arg(closedLoopbackPort()), FtpTestServer::kPassword, local, client},
        {"missing local file", host, FtpTestServer::kPassword, local + ".gone", client},
        {"client missing", host, FtpTestServer::kPassword, local, work_.filePath("no-such-client")},
        {"client never ends", host, FtpTestServer::kPassword, local, hanging, 2000},
    };
    for (const Row& row : rows) {
        FtpHost = row.host;
        FtpPassword = row.password;
        FtpClientProgram = row.program;
        FtpClientTimeLimitMs = row.timeLimitMs;
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_FALSE(sFtpPut("a.AVI", row.local, {}, "binary")) << row.name;
        EXPECT_LT(elapsed.elapsed(), 20000) << row.name;
        EXPECT_FALSE(scriptLeft()) << row.name;
    }
    EXPECT_EQ(server_.fileContent("a.AVI"), "<missing>");
}

TEST_F(FtpPutTest, WritesTheScriptExactlyAndReadableByTheUserAlone)
{
    keepScriptCopies();
    FtpHost = "ftp.example.net";
    struct Row {
        QString remote, local, folder, mode, user, password;
        QByteArray expected;
    };
    const Row rows[] = {
        {"X.AVI", "/avi/a b.AVI", "up/dir", "binary", "hound", "bark twice",
         "open ftp.example.net\r\nhound\r\nbark twice\r\nCD up/dir\r\nbinary\r\nPUT \"/avi/a b.AVI\" X.AVI\r\nquit\r\n\r\n\r\n"},
        {"X.AVI", "/avi/x.AVI", "", "binary", "hound", "bark twice",
         "open ftp.example.net\r\nhound\r\nbark twice\r\nbinary\r\nPUT \"/avi/x.AVI\" X.AVI\r\nquit\r\n\r\n\r\n"},
        {"notes.txt", "", "", "", "", "",
         "open ftp.example.net\r\n\r\n\r\nascii\r\nPUT \"notes.txt\" notes.txt\r\nquit\r\n\r\n\r\n"},
    };
    for (const Row& row : rows) {
        FtpUser = row.user;
        FtpPassword = row.password;
        QFile::remove(copyPath());
        sFtpPut(row.remote, row.local, row.folder, row.mode);
        EXPECT_EQ(readFileBytes(copyPath()), row.expected);
        EXPECT_EQ(readFileBytes(copyPath() + ".mode").trimmed(), "600");
        EXPECT_FALSE(scriptLeft());
    }
}

TEST_F(FtpPutTest, ALineBreakInAnyValueWritesNoScript)
{
    keepScriptCopies();
    const QString ok = "value";
    for (const QString bad : {"a\r\nquit", "a\nDELETE x", "a\rb"}) {
        for (QString* field : {&FtpHost, &FtpUser, &FtpPassword}) {
            const QString kept = std::exchange(*field, bad);
            EXPECT_FALSE(sFtpPut(ok, ok, ok, "binary"));
            *field = kept;
        }
        EXPECT_FALSE(sFtpPut(bad, ok, ok, "binary"));
        EXPECT_FALSE(sFtpPut(ok, bad, ok, "binary"));
        EXPECT_FALSE(sFtpPut(ok, ok, bad, "binary"));
        EXPECT_FALSE(sFtpPut(ok, ok, ok, bad));
    }
    EXPECT_FALSE(QFile::exists(copyPath()));
    EXPECT_FALSE(scriptLeft());
}

}  // namespace
