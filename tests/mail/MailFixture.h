#pragma once

#include "mail/MailConnection.h"
#include "settings/Settings.h"
#include "tests/support/LoopbackServers.h"
#include "tests/support/TempAppFolder.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstdlib>

// A fresh application folder, settings and server record for each test.
class MailTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        unsetenv(kCaFileVariable);
        Settings = SettingsRecord{};
        Settings.MAIL.MAIL = "owner@example.org";
        Settings.MAIL.ATT = "0";
        Settings.MAIL.OPTATT = "0";
        Settings.MAIL.AtCRAM = "0";
        setMailTimeouts({5, 20});
    }
    void TearDown() override { setMailTimeouts({}); }

    QString records() const { return home.filePath("server-record.jsonl"); }
    QString logText() const
    {
        QFile log(home.filePath("mail.log.txt"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }
    void useSmtp(const ServerProcess& server) { Settings.MAIL.SMTP = QString("127.0.0.1\t%1").arg(server.port()); }

    TempAppFolder home;
};
