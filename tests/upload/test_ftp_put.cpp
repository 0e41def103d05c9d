// sFtpPut: the script it writes and the upload through houndly-ftp to a real server.
#include "tests/support/LoopbackServers.h"
#include "upload/FtpScriptRunner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString kScriptName = QStringLiteral("FTP_PUT.txt");

class FtpPutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FtpScriptDir = work_.path();  // without a trailing "/"
        FtpHost = QStringLiteral("127.0.0.1 %1").arg(server_.port());
        FtpUser = FtpTestServer::kUser;
        FtpPassword = FtpTestServer::kPassword;
        FtpClientProgram = QStringLiteral(HOUNDLY_FTP_CLIENT);
        FtpClientTimeLimitMs = 60000;
    }

    QString writeFile(const QString& name, const QByteArray& content)
    {
        QFile file(work_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }

    // A stand-in client that keeps a copy of the script and its permissions.
    void keepScriptCopies()
    {
        const QString program = writeFile(QStringLiteral("keep-script.sh"),
                                          QStringLiteral("#!/bin/sh\np=${1#-s:}; p=${p#\\\"}; p=${p%%\\\"}\n"
                                                         "cp \"$p\" '%1' && stat -c %a \"$p\" > '%1.mode'\n")
                                              .arg(copyPath())
                                              .toUtf8());
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
        FtpClientProgram = program;
    }
    QString copyPath() const { return work_.filePath(QStringLiteral("script-copy.txt")); }
    bool scriptLeft() const { return QFile::exists(work_.filePath(kScriptName)); }

    FtpTestServer server_;
    QTemporaryDir work_;
};

TEST_F(FtpPutTest, UploadsByteForByteIntoTheFolderAndLeavesNoScript)
{
    ASSERT_TRUE(server_.running());
    const QByteArray content = sampleBytes(300000);
    const QString local = writeFile(QStringLiteral("clip with space.AVI"), content);
    struct Row {
        QString folder;
        QString remote;
    };
    for (const Row& row : {Row{QString(), QStringLiteral("060705140309_ALERT.AVI")}, Row{QStringLiteral("sub"), QStringLiteral("ALERT.AVI")}}) {
        EXPECT_TRUE(sFtpPut(row.remote, local, row.folder, QStringLiteral("binary")));
        const QString remotePath = row.folder.isEmpty() ? row.remote : row.folder + QLatin1Char('/') + row.remote;
        EXPECT_EQ(server_.fileContent(remotePath), content) << remotePath.toStdString();
        EXPECT_FALSE(scriptLeft());
    }
    EXPECT_EQ(FtpScriptDir, work_.path() + QLatin1Char('/'));
    EXPECT_TRUE(sFtpPut(QStringLiteral("again.AVI"), local, {}, QStringLiteral("binary")));
    EXPECT_EQ(FtpScriptDir, work_.path() + QLatin1Char('/'));  // no second "/"
}

TEST_F(FtpPutTest, FailedUploadsReturnFalseAndLeaveNoScript)
{
    ASSERT_TRUE(server_.running());
    const QString local = writeFile(QStringLiteral("clip.AVI"), sampleBytes(1000));
    const QString hanging = writeFile(QStringLiteral("hang.sh"), "#!/bin/sh\nexec sleep 30\n");
    QFile::setPermissions(hanging, QFile::ReadOwner | QFile::ExeOwner);
    struct Row {
        const char* name;
        QString host;
        QString password;
        QString local;
        QString program;
    };
    const QString host = FtpHost;
    const QString client = FtpClientProgram;
    const Row rows[] = {
        {"wrong password", host, QStringLiteral("bark once"), local, client},
        {"server down", QStringLiteral("127.0.0.1 %1").arg(closedLoopbackPort()), FtpTestServer::kPassword, local, client},
        {"missing local file", host, FtpTestServer::kPassword, local + QStringLiteral(".gone"), client},
        {"client missing", host, FtpTestServer::kPassword, local, work_.filePath(QStringLiteral("no-such-client"))},
        {"client never ends", host, FtpTestServer::kPassword, local, hanging},
    };
    FtpClientTimeLimitMs = 1000;
    for (const Row& row : rows) {
        FtpHost = row.host;
        FtpPassword = row.password;
        FtpClientProgram = row.program;
        QElapsedTimer elapsed;
        elapsed.start();
        EXPECT_FALSE(sFtpPut(QStringLiteral("a.AVI"), row.local, {}, QStringLiteral("binary"))) << row.name;
        EXPECT_LT(elapsed.elapsed(), 20000) << row.name;
        EXPECT_FALSE(scriptLeft()) << row.name;
    }
    EXPECT_EQ(server_.fileContent(QStringLiteral("a.AVI")), QByteArray("<missing>"));
}

TEST_F(FtpPutTest, WritesTheScriptExactlyAndReadableByTheUserAlone)
{
    keepScriptCopies();
    FtpHost = QStringLiteral("ftp.example.net");
    FtpUser = QStringLiteral("hound");
    FtpPassword = QStringLiteral("bark twice");
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
        EXPECT_EQ(ftpPutScript(row.remote, row.local, row.folder, row.mode), row.expected);
        sFtpPut(row.remote, row.local, row.folder, row.mode);
        QFile copy(copyPath());
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), row.expected);
        QFile mode(copyPath() + QStringLiteral(".mode"));
        ASSERT_TRUE(mode.open(QIODevice::ReadOnly));
        EXPECT_EQ(mode.readAll().trimmed(), QByteArray("600"));
        EXPECT_FALSE(scriptLeft());
    }
}

TEST_F(FtpPutTest, ALineBreakInAnyValueWritesNoScript)
{
    keepScriptCopies();
    const QString clean = QStringLiteral("value");
    const QString broken[] = {QStringLiteral("a\r\nquit"), QStringLiteral("a\nDELETE x"), QStringLiteral("a\rb")};
    for (const QString& bad : broken) {
        for (QString* field : {&FtpHost, &FtpUser, &FtpPassword}) {
            const QString kept = *field;
            *field = bad;
            EXPECT_FALSE(sFtpPut(clean, clean, clean, QStringLiteral("binary")));
            *field = kept;
        }
        EXPECT_FALSE(sFtpPut(bad, clean, clean, QStringLiteral("binary")));
        EXPECT_FALSE(sFtpPut(clean, bad, clean, QStringLiteral("binary")));
        EXPECT_FALSE(sFtpPut(clean, clean, bad, QStringLiteral("binary")));
        EXPECT_FALSE(sFtpPut(clean, clean, clean, bad));
    }
    EXPECT_FALSE(QFile::exists(copyPath()));
    EXPECT_FALSE(scriptLeft());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);  // the wait runs its event loop
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
