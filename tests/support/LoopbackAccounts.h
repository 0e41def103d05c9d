#pragma once

// The accounts of the loopback servers in Settings, as a user would set them:
// mail from guard@example.org by SMTP-AUTH with AUTH LOGIN, 5-second clips
// uploaded to the FTP root. Destinations, recording and sound stay the caller's.
#include "settings/Settings.h"
#include "tests/support/LoopbackServers.h"

inline void useLoopbackAccounts(int smtpPort, int ftpPort)
{
    Settings.MAIL.MAIL = QStringLiteral("guard@example.org");
    Settings.MAIL.SMTP = QStringLiteral("127.0.0.1\t%1").arg(smtpPort);
    Settings.MAIL.ATT = Settings.MAIL.OPTATT = QStringLiteral("1");
    Settings.MAIL.AtCRAM = QStringLiteral("0");
    Settings.MAIL.SMTPUSER = kSmtpUser;
    Settings.MAIL.SMTPPASS = kSmtpPassword;
    Settings.FTP.HOST = QStringLiteral("127.0.0.1 %1").arg(ftpPort);
    Settings.FTP.USER = FtpTestServer::kUser;
    Settings.FTP.PASS = FtpTestServer::kPassword;
    Settings.FTP.TIME = 5;
}
