#include "watch/WatchLog.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

namespace {

using Kind = WatchEvent::Kind;

TEST(WatchLogTest, EveryEventIsOneLineSayingWhatItCanAndNoStoredPasswordGetsThrough)
{
    Settings = SettingsRecord{};
    Settings.MAIL.PASS = QStringLiteral("pop-pw");
    Settings.MAIL.SMTPPASS = QStringLiteral("smtp pw");
    Settings.FTP.PASS = QStringLiteral("ftp:pw");
    Settings.COM.CKSUM = 10;
    Settings.COM.TIMER = 5;
    Settings.COM.SOUND = QStringLiteral("bark.wav");
    // What the watcher will do when set up, and the lines of an alarm that goes well, are the
    // headless test's; here what it will not do and what fails.
    const std::pair<WatchEvent, QString> cases[] = {
        {{.kind = Kind::Started, .name = "demo"},
         "started: camera demo; alarm count 10, every 0.5 s, sound bark.wav not found, mail account not set, "
         "no recording"},
        {{.kind = Kind::Alarm, .count = 31, .alarmCount = 10}, "alarm: count 31 over 10"},
        {{.kind = Kind::MailSent, .ok = false, .name = "A", .detail = "login denied for smtp pw"},
         "mail A failed: login denied for ***"},
        {{.kind = Kind::Uploaded, .ok = false, .name = "ALERT.AVI", .detail = "530 ftp:pw refused"},
         "upload ALERT.AVI failed: 530 *** refused"},
        {{.kind = Kind::CameraLost, .name = "rtsp://cam@host/pop-pw"}, "camera lost: rtsp://cam@host/***"},
        {{.kind = Kind::Stopped, .ok = false, .detail = "the settings could not be saved"},
         "stopped: the settings could not be saved"},
    };
    for (const auto& [event, line] : cases)
        EXPECT_EQ(watchEventLine(event), line);
    EXPECT_EQ(messageLine(MessageKind::Error, "ドライバーが見つかりません。"), "error: ドライバーが見つかりません。");
    EXPECT_EQ(messageLine(MessageKind::Warning, "two\nlines"), "warning: two lines");
    Settings = SettingsRecord{};
}

}  // namespace
