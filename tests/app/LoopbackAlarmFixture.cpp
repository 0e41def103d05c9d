#include "tests/app/LoopbackAlarmFixture.h"

#include "mail/MailMessageBox.h"
#include "sound/SilentAudioOutput.h"
#include "sound/SoundCommands.h"
#include "tests/support/LoopbackAccounts.h"
#include "upload/FtpScriptRunner.h"

void LoopbackAlarmFixture::SetUp()
{
    MainWindowFixture::SetUp();
    ASSERT_GT(smtp.port(), 0);
    ASSERT_TRUE(ftp.running());
    // No speakers here; a stopped clock makes the sound play until it is closed.
    useAudioOutput(std::make_unique<SilentAudioOutput>([] { return std::chrono::steady_clock::time_point{}; }));
    FtpClientProgram = QStringLiteral(HOUNDLY_FTP_CLIENT);
    setMailMessageHandler([this](QWidget*, QMessageBox::Icon icon, const QString& title, const QString& text) {
        messages.push_back({icon, title, text});
    });
    Settings.COM.TIMER = 50;
    Settings.COM.CKSUM = 10;
    useLoopbackAccounts(smtp.port(), ftp.port());
}

void LoopbackAlarmFixture::TearDown()
{
    MainWindowFixture::TearDown();
    setMailMessageHandler({});
    useAudioOutput(nullptr);
    FtpClientProgram.clear();
}
