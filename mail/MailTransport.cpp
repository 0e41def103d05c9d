#include "mail/MailTransport.h"

#include "mail/MailFields.h"
#include "mail/MailLibrary.h"
#include "mail/MailLog.h"
#include "mail/MailTimeouts.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"

#include <optional>

namespace {

QString refuse(const QString& reason)
{
    MailExchangeLog log(mailLogPath(), QStringLiteral("SMTP"), Settings.MAIL.SMTP.simplified());
    log.finish(QStringLiteral("not sent: ") + reason);
    return reason;
}

// "" when the server accepted the mail, else why it did not go.
QString sendMail(const QString& recipient, const QString& subject, const QString& body,
                 const QString& attachmentPath)
{
    const auto& account = Settings.MAIL;
    if (hasControlCharacters(recipient) || hasControlCharacters(subject))
        return refuse(QStringLiteral("the recipient or the subject holds a line break"));
    if (hasControlCharacters(account.MAIL) || hasControlCharacters(account.USER) ||
        hasControlCharacters(account.SMTPUSER))
        return refuse(QStringLiteral("an account value holds a line break"));

    const QDeadlineTimer deadline = newMailDeadline();
    const QString to = recipientField(recipient, account.MAIL);
    QString from = senderField(account.MAIL);
    const std::optional<int> authentication = settingNumber(account.ATT);
    if (!authentication)
        return refuse(QStringLiteral("MAIL/ATT is not a number"));
    if (*authentication == 1) {
        const std::optional<int> method = settingNumber(account.OPTATT);
        if (!method)
            return refuse(QStringLiteral("MAIL/OPTATT is not a number"));
        if (*method == 0) {
            if (!RcvMail(account.POP, account.USER, account.PASS, QStringLiteral("STAT"), appFolder(), deadline))
                return QStringLiteral("the POP login before SMTP failed");
        } else {
            const std::optional<int> cramMd5 = settingNumber(account.AtCRAM);
            if (!cramMd5)
                return refuse(QStringLiteral("MAIL/AtCRAM is not a number"));
            from = senderFieldWithAuth(account.MAIL, account.SMTPUSER, account.SMTPPASS, *cramMd5 != 0);
        }
    }
    return SendMailEx(mailLogPath(), account.SMTP, to, from, subject, body, attachmentPath, deadline);
}

}  // namespace

QString mailLogPath()
{
    return appFilePath(QStringLiteral("mail.log.txt"));
}

bool sSendMail(const QString& recipient, const QString& subject, const QString& body,
               const QString& attachmentPath, QString* failure)
{
    const QString why = sendMail(recipient, subject, body, attachmentPath);
    if (failure != nullptr)
        *failure = why;
    return why.isEmpty();
}
