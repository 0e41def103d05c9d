// Background uploads: one at a time, in order, bounded, through houndly-ftp to a real server.
#include "tests/support/LoopbackServers.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "upload/FtpScriptRunner.h"
#include "upload/PendingUploads.h"
#include "upload/UploadQueue.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

class UploadQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FtpClientProgram = HOUNDLY_FTP_CLIENT;
        EXPECT_EQ(FtpClientTimeLimitMs, 10 * 60 * 1000) << "the program's bound of one upload";
        FtpClientTimeLimitMs = 60000;
        QObject::connect(&queue_, &UploadQueue::uploaded, [this](const ClipUpload& upload, bool ok, const QString& reason) {
            ended_ << upload.remoteName + (ok ? "" : " failed: " + reason);
            scriptsWhenEnded_ += QFile::exists(scriptPath()) ? 1 : 0;
        });
        QObject::connect(&queue_, &UploadQueue::dropped, [this](const ClipUpload& upload) { dropped_ << upload.remoteName; });
        QObject::connect(&queue_, &UploadQueue::cut, [this](const ClipUpload& upload) { cut_ << upload.remoteName; });
    }
    void TearDown() override { FtpClientTimeLimitMs = 10 * 60 * 1000; }

    // A clip of its own bytes, to go up under its own name.
    ClipUpload clip(const QString& name, int port)
    {
        const QString path = writeFileBytes(work_.filePath(name), sampleBytes(50000));
        return {path, name, "", "", {work_.path(), QString("127.0.0.1 %1").arg(port), FtpTestServer::kUser,
                                     FtpTestServer::kPassword}};
    }
    // A stand-in client that notes its start in "modes", then waits `seconds` before running the real one.
    void useSlowClient(int seconds)
    {
        const QString script = QString("#!/bin/sh\np=${2#-s:}; p=${p#\\\"}; p=${p%%\\\"}\nstat -c %a \"$p\" >> '%1'\n"
                                       "sleep %2 >/dev/null 2>&1\nexec '%3' \"$@\"\n")
                                   .arg(work_.filePath("modes"), QString::number(seconds), HOUNDLY_FTP_CLIENT);
        FtpClientProgram = writeFileBytes(work_.filePath(QString("slow-client-%1.sh").arg(seconds)), script.toUtf8());
        QFile::setPermissions(FtpClientProgram, QFile::ReadOwner | QFile::ExeOwner);
    }
    QString scriptPath() const { return work_.filePath("FTP_PUT.txt"); }

    QCoreApplication& application_ = testApplication();
    TempAppFolder work_;
    FtpTestServer server_;
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
        queue_.add(clip(name, server_.port()));
    EXPECT_TRUE(queue_.isBusy());
    EXPECT_EQ(queue_.waitingCount(), 2);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !queue_.isBusy(); }, 60000));

    EXPECT_EQ(ended_, names);
    EXPECT_EQ(scriptsWhenEnded_, 0);
    // One after the other: each arrived after the one before it. (What arrives is the background upload test's.)
    for (int index = 1; index < names.size(); ++index)
        EXPECT_GE(QFileInfo(server_.root() + '/' + names[index]).lastModified(),
                  QFileInfo(server_.root() + '/' + names[index - 1]).lastModified().addMSecs(900));

    ended_.clear();
    QFile::remove(work_.filePath("modes"));
    useSlowClient(30);
    for (int index = 1; index <= 8; ++index)
        queue_.add(clip(QString("%1.AVI").arg(index), server_.port()));
    EXPECT_EQ(queue_.waitingCount(), 5) << "five wait at most";
    EXPECT_EQ(dropped_, (QStringList{"2.AVI", "3.AVI"})) << "the first runs; the oldest waiting go";
    EXPECT_TRUE(QFile::exists(work_.filePath("2.AVI")));
    QElapsedTimer started;
    started.start();
    while (!QFile::exists(work_.filePath("modes")) && started.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(QFile::exists(scriptPath()));
    EXPECT_TRUE(ended_.isEmpty());

    QElapsedTimer elapsed;
    elapsed.start();
    queue_.shutDown(std::chrono::milliseconds(1000));
    EXPECT_LT(elapsed.elapsed(), 8000);
    EXPECT_FALSE(queue_.isBusy());
    EXPECT_FALSE(QFile::exists(scriptPath()));
    queue_.add(clip("late.AVI", server_.port()));
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
}

TEST_F(UploadQueueTest, FailuresEndTheirUploadAndTheNextRuns)
{
    ASSERT_TRUE(server_.running());
    const struct {
        const char* what;
        QString client;
        int limitMs;
        QString password;
        QString reason;  // as the upload log gives it
    } rows[] = {
        {"the client cannot start", work_.filePath("no-such-client"), 60000, FtpTestServer::kPassword,
         "cannot start " + work_.filePath("no-such-client")},
        {"the client runs over its time", "", 1000, FtpTestServer::kPassword, "the client did not end by itself"},
        {"the server refuses the log-in", HOUNDLY_FTP_CLIENT, 60000, "bark once", "Access denied: 530"},
        {"a line break in the password", HOUNDLY_FTP_CLIENT, 60000, "a\nquit", "refused: the password holds a line break"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ended_.clear();
        if (row.client.isEmpty())
            useSlowClient(30);
        else
            FtpClientProgram = row.client;
        FtpClientTimeLimitMs = row.limitMs;
        ClipUpload failing = clip("bad.AVI", server_.port());
        failing.server.password = row.password;
        queue_.add(failing);  // starts at once, with the row's client and time limit
        FtpClientProgram = HOUNDLY_FTP_CLIENT;
        FtpClientTimeLimitMs = 60000;  // the good upload must not run short on a busy machine
        queue_.add(clip("good.AVI", server_.port()));
        QElapsedTimer elapsed;
        elapsed.start();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !queue_.isBusy(); }, 60000));
        EXPECT_LT(elapsed.elapsed(), 20000);
        ASSERT_EQ(ended_.size(), 2);
        EXPECT_TRUE(ended_[0].startsWith("bad.AVI failed: ") && ended_[0].contains(row.reason)) << ended_[0].toStdString();
        EXPECT_EQ(ended_[1], "good.AVI");
        EXPECT_FALSE(QFile::exists(scriptPath()));
    }
    EXPECT_EQ(server_.fileContent("bad.AVI"), "<missing>");

    // Each upload left its record and reason in the upload log, without a password.
    const QString log = QString::fromUtf8(readFileBytes(work_.filePath("ftp.log.txt")));
    EXPECT_EQ(log.count("\n= uploaded\n"), 4) << log.toStdString();
    EXPECT_EQ(log.count("\n= not uploaded: "), 4) << log.toStdString();
    EXPECT_TRUE(log.contains("line break")) << log.toStdString();
    EXPECT_FALSE(log.contains(FtpTestServer::kPassword) || log.contains("bark once")) << log.toStdString();
    EXPECT_EQ(QFile::permissions(work_.filePath("ftp.log.txt")) & 0x0077, 0) << "readable by others";
}

}  // namespace
