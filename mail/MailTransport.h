#pragma once

#include <QString>

// Sends one mail with the account of Settings.MAIL: no authentication, POP
// before SMTP or SMTP-AUTH (LOGIN or CRAM-MD5). attachmentPath is the JPEG to
// attach, "" for none. True when the server accepted the mail. A recipient,
// subject or account holding a line break, or an ATT/OPTATT/AtCRAM text that
// is not a number, is refused (false) and noted in the mail log. `failure`,
// when given, gets why the mail did not go (the server's refusal included),
// "" when it went.
bool sSendMail(const QString& recipient, const QString& subject, const QString& body,
               const QString& attachmentPath, QString* failure = nullptr);

// Ends the mail in progress at once, the program is closing: it fails, and
// the mail log says why. Mails started later go out as usual.
void cancelMailInProgress();

// The mail log in the application folder.
QString mailLogPath();
