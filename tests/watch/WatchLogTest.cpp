#include "watch/WatchLog.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

namespace {

using Kind = WatchEvent::Kind;

// The lines are the events' own: short stored passwords that are also parts of
// words, paths and addresses change nothing in them.
TEST(WatchLogTest, EveryEventIsOneLineSayingWhatItCanAsItIsTold)
{
    Settings = SettingsRecord{};
    Settings.MAIL.PASS = QStringLiteral("p");
    Settings.MAIL.SMTPPASS = QStringLiteral("mail");
    Settings.FTP.PASS = QStringLiteral("home");
    Settings.COM.CKSUM = 10;
    Settings.COM.TIMER = 5;
    Settings.COM.SOUND = QStringLiteral("bark.wav");
    // What the watcher will do when set up, and the lines of an alarm that goes well, are the
    // headless test's; here what it will not do and what fails.
    const std::pair<WatchEvent, QString> cases[] = {
        {{.kind = Kind::Started, .name = "demo", .detail = "mask on, ignoring 25 % of the picture"},
         "started: camera demo; alarm count 10, every 0.5 s, sound bark.wav not found, mail account not set, "
         "no recording, mask on, ignoring 25 % of the picture"},
        {{.kind = Kind::MaskUnusable, .name = "/home/me/mask.pgm", .detail = "not a binary PGM (P5)"},
         "mask /home/me/mask.pgm not used: not a binary PGM (P5)"},
        {{.kind = Kind::Alarm, .count = 31, .alarmCount = 10}, "alarm: count 31 over 10"},
        {{.kind = Kind::Snapshot, .ok = false, .name = "/home3/img/240501120309_ALERT.jpg", .detail = "disk full"},
         "snapshot /home3/img/240501120309_ALERT.jpg failed: disk full"},
        {{.kind = Kind::MailSent, .ok = false, .name = "A", .detail = "ﾒｰﾙ送信ｴﾗｰでした。 mail@example.net"},
         "mail A failed: ﾒｰﾙ送信ｴﾗｰでした。 mail@example.net"},
        {{.kind = Kind::Uploaded, .ok = false, .name = "240501120309_ALERT.AVI", .detail = "FTPで送信できませんでした。"},
         "upload 240501120309_ALERT.AVI failed: FTPで送信できませんでした。"},
        {{.kind = Kind::CommandEnded, .ok = false, .name = "ONALARM", .detail = "exit 2: no such host"},
         "ONALARM failed: exit 2: no such host"},
        {{.kind = Kind::Stopped, .ok = false, .detail = "the settings could not be saved"},
         "stopped: the settings could not be saved"},
    };
    for (const auto& [event, line] : cases)
        EXPECT_EQ(watchEventLine(event), line);
    EXPECT_EQ(messageLine(MessageKind::Error, "ドライバーが見つかりません。"), "error: ドライバーが見つかりません。");
    EXPECT_EQ(messageLine(MessageKind::Warning, "two\nlines in /home/p"), "warning: two lines in /home/p");
    Settings = SettingsRecord{};
}

}  // namespace
