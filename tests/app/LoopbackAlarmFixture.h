#pragma once

#include "tests/app/AppTestSupport.h"
#include "tests/support/LoopbackServers.h"

// A main window fixture with real SMTP and FTP servers on loopback and an
// account on each (mail by AUTH LOGIN, 5-second clips uploaded to the FTP
// root; one recipient refused), the alarm count 10, the longest timer period so that Timer1 does not
// tick by itself between the test's ticks, and no speakers. Destinations,
// recording and sound are the test's to set before it starts the window.
// A destination in use; the snapshot attached at `size` (0: 640 x 480, 1: 320 x 240, 2: 110 x 82).
inline MailTrigger destination(const QString& to, int16_t picture = 1, int16_t size = 1, int16_t rate = 20)
{
    return {QStringLiteral("True"), to, QStringLiteral("警報"), QStringLiteral("誰か来たワン"), picture, size, QString(), rate};
}

// The fixture's SMTP server refuses this recipient.
inline const QString kRefused = QStringLiteral("nobody@example.net");
inline const QString kAlarmText = QStringLiteral("Houndly: 警報！ 誰かいるワン！!");

class LoopbackAlarmFixture : public MainWindowFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // What the SMTP server received, as JSON lines.
    QString records() const { return home.filePath(QStringLiteral("smtp.jsonl")); }

    ServerProcess smtp{QStringLiteral("smtp_server.py"), {QStringLiteral("--record"), records(), QStringLiteral("--lifetime"),
                                                         QStringLiteral("120"), QStringLiteral("--refuse"), kRefused}};
    FtpTestServer ftp;
};
