#include "tests/app/LoopbackAlarmFixture.h"

#include "mail/MailMessageBox.h"
#include "sound/SilentAudioOutput.h"
#include "sound/SoundCommands.h"
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
    Settings.MAIL.MAIL = QStringLiteral("guard@example.org");
    Settings.MAIL.SMTP = QStringLiteral("127.0.0.1\t%1").arg(smtp.port());
    // SMTP-AUTH with AUTH LOGIN.
    Settings.MAIL.ATT = Settings.MAIL.OPTATT = QStringLiteral("1");
    Settings.MAIL.AtCRAM = QStringLiteral("0");
    Settings.MAIL.SMTPUSER = kSmtpUser;
    Settings.MAIL.SMTPPASS = kSmtpPassword;
    Settings.FTP.HOST = QStringLiteral("127.0.0.1 %1").arg(ftp.port());
    Settings.FTP.USER = FtpTestServer::kUser;
    Settings.FTP.PASS = FtpTestServer::kPassword;
    Settings.FTP.TIME = 5;
}

void LoopbackAlarmFixture::TearDown()
{
    MainWindowFixture::TearDown();
    setMailMessageHandler({});
    useAudioOutput(nullptr);
    FtpClientProgram.clear();
}
