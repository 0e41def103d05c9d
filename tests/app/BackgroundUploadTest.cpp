// Uploads in the background in the real window on the demo camera: clips go
// up one after the other while the detector goes on ticking. (A close that cuts
// a stuck upload short is the headless program's test.)
#include "tests/app/AppTestSupport.h"
#include "tests/support/LoopbackServers.h"

#include "upload/FtpScriptRunner.h"
#include "upload/UploadQueue.h"

#include <QDir>
#include <QFile>

class BackgroundUploadTest : public MainWindowFixture {
protected:
    void TearDown() override
    {
        FtpClientProgram.clear();
        MainWindowFixture::TearDown();
    }

    // Watching with alarm count 10, one-second clips uploaded to `port` in the background
    // by a client that first waits two seconds.
    void startUploadingTo(int port)
    {
        const QString client = QString("#!/bin/sh\nsleep 2\nexec '%1' \"$@\"\n").arg(HOUNDLY_FTP_CLIENT);
        FtpClientProgram = writeFileBytes(home.filePath("slow-client.sh"), client.toUtf8());
        QFile::setPermissions(FtpClientProgram, QFile::ReadOwner | QFile::ExeOwner);
        startWindow();
        window->watcher().events().add([this](const WatchEvent& event) {
            if (event.kind == WatchEvent::Kind::Uploaded)
                uploaded << event.name + (event.ok ? "" : " failed");
        });
        Settings.COM.TIMER = 50;  // the longest period: Timer1 does not tick by itself between the test's ticks
        Settings.COM.CKSUM = 10;
        Settings.FTP = {"True", "True", QString("127.0.0.1 %1").arg(port), FtpTestServer::kUser, FtpTestServer::kPassword,
                        "", "False", 1, ""};
        Settings.EXT.BGUPLOAD = true;
        tickAt(kCalm);
    }
    // Watching goes on at once after an alarm whose upload runs.
    void expectWatching()
    {
        EXPECT_TRUE(window->watcher().Timer1->isActive());
        EXPECT_TRUE(window->picSideWindow->cmdKenchi->isEnabled());
        EXPECT_TRUE(window->uploadPanel->isVisible());
        EXPECT_TRUE(window->uploadPanel->text().startsWith(QStringLiteral("FTP送信中･･･")));
    }
    QStringList clips() const { return QDir(home.filePath("avi")).entryList(QDir::Files, QDir::Name); }

    QStringList uploaded;
};

TEST_F(BackgroundUploadTest, AlarmsUploadInOrderWhileTheDetectorTicks)
{
    FtpTestServer server;
    ASSERT_TRUE(server.running());
    startUploadingTo(server.port());

    tickAt(kIntruder);
    ASSERT_EQ(clips().size(), 1);
    expectWatching();
    tickAt(kIntruder + 500);  // the tick after an alarm, while the first clip goes up
    tickAt(kIntruder + 1000);
    ASSERT_EQ(clips().size(), 2);
    expectWatching();
    EXPECT_TRUE(uploaded.isEmpty()) << "the first upload is still running";

    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->watcher().uploads().isBusy(); }, 120000));
    EXPECT_EQ(uploaded, clips());
    for (const QString& clip : clips())
        EXPECT_EQ(server.fileContent(clip), readFileBytes(home.filePath("avi/" + clip))) << clip.toStdString();
    EXPECT_FALSE(window->uploadPanel->isVisible());
}
