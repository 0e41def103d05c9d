#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>

#include <optional>

// The mail library: one SMTP delivery, one POP3 login. The fields are those
// built by MailFields.h; each exchange is appended to the mail log. Each ends,
// its goodbye to the server included, by the deadline of the mail it is part
// of (newMailDeadline()).

// Sends one mail. serverField is "server<TAB>port" (port 25 when missing,
// implicit TLS on 465). Returns "" when the server accepted the mail, else
// a description of the failure, with the server's refusal when it gave one.
QString SendMailEx(const QString& logPath, const QString& serverField, const QString& recipientField,
                   const QString& senderField, const QString& subject, const QString& body,
                   const QString& attachmentPath, const QDeadlineTimer& deadline);

// Logs in to the POP3 server of "server<TAB>port" (port 110 when missing,
// implicit TLS on 995) and runs one single-line command. The reply lines when
// the login and the command succeeded; nothing otherwise. The exchange is
// appended to "mail.log.txt" in the given folder.
std::optional<QStringList> RcvMail(const QString& serverField, const QString& account,
                                   const QString& password, const QString& command, const QString& folder,
                                   const QDeadlineTimer& deadline);
