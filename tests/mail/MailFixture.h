#pragma once

#include "mail/MailConnection.h"
#include "settings/Settings.h"
#include "tests/support/LoopbackServers.h"
#include "tests/support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>

#include <cstdlib>
#include <tuple>

// A fresh application folder, settings and server record for each test.
class MailTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        unsetenv(kCaFileVariable);
        Settings = SettingsRecord{};
        Settings.MAIL = {"owner@example.org", "", "", "", "", "0", "0", "0", "", ""};
        // The program's own bounds, before a test shortens them: connecting, the whole mail, the QUIT.
        const MailTimeouts program = mailTimeouts();
        EXPECT_EQ(std::tuple(program.connectSeconds, program.wholeSeconds, program.goodbyeSeconds), std::tuple(30, 120, 5));
        setMailTimeouts({5, 20});
    }
    void TearDown() override { setMailTimeouts({}); }

    QString records() const { return home.filePath("server-record.jsonl"); }
    QList<QJsonObject> mails() const { return readRecords(records(), "message"); }
    QString logText() const { return QString::fromUtf8(readFileBytes(home.filePath("mail.log.txt"))); }
    static QString loopback(int port) { return QString("127.0.0.1\t%1").arg(port); }

    TempAppFolder home;
};

// The bytes of the attachments of a mail the SMTP server recorded.
inline QList<QByteArray> attachedBytes(const QJsonObject& mail)
{
    QList<QByteArray> attached;
    for (const QJsonValue& attachment : mail["attachments"].toArray())
        attached << QByteArray::fromBase64(attachment["data"].toString().toLatin1());
    return attached;
}

// The size of the one attached picture; empty without exactly one.
inline QSize attachedPictureSize(const QJsonObject& mail)
{
    const QList<QByteArray> attached = attachedBytes(mail);
    return attached.size() == 1 ? QImage::fromData(attached[0], "JPEG").size() : QSize();
}

// The first value of a JPEG's first quantisation table (luminance DC), which its quality sets.
inline int firstQuantValue(const QByteArray& jpeg)
{
    const qsizetype marker = jpeg.indexOf(QByteArray("\xFF\xDB", 2));
    // FF DB, 2 length bytes, 1 precision/id byte, then the table.
    return marker < 0 ? -1 : static_cast<unsigned char>(jpeg.at(marker + 5));
}
