#include "mail/MailConnection.h"
#include "mail/MailFields.h"
#include "mail/MailLibrary.h"

#include <QDir>

namespace {
constexpr int kPopPort = 110;
constexpr int kPopsPort = 995;
}  // namespace

std::optional<QStringList> RcvMail(const QString& serverField, const QString& account,
                                   const QString& password, const QString& command, const QString& folder,
                                   const QDeadlineTimer& deadline)
{
    const std::optional<ServerAddress> server = parseServerField(serverField, kPopPort);
    const QString serverText = server ? QStringLiteral("%1:%2").arg(server->host).arg(server->port)
                                      : serverField.simplified();
    MailExchangeLog log(QDir(folder).filePath(QStringLiteral("mail.log.txt")), QStringLiteral("POP3"), serverText);

    QString failure;
    if (!server)
        failure = QStringLiteral("no POP server or bad port");
    // A line break would let the rest of the text run as further POP commands.
    else if (hasControlCharacters(account) || hasControlCharacters(password) || hasControlCharacters(command) ||
             account.isEmpty() || command.trimmed().isEmpty())
        failure = QStringLiteral("account, password or command is empty or holds a line break");
    if (!failure.isEmpty()) {
        log.finish(QStringLiteral("not logged in: ") + failure);
        return std::nullopt;
    }

    MailConnection connection(mailServerUrl(QStringLiteral("pop3"), QStringLiteral("pop3s"), kPopsPort,
                                            server->host, server->port),
                              log, deadline);
    if (CURL* easy = connection.handle()) {
        curl_easy_setopt(easy, CURLOPT_USERNAME, account.toUtf8().constData());
        curl_easy_setopt(easy, CURLOPT_PASSWORD, password.toUtf8().constData());
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, command.toUtf8().constData());
        // The command answers with one line, not a listing.
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    }
    failure = connection.perform();
    log.finish(failure.isEmpty() ? QStringLiteral("logged in") : QStringLiteral("not logged in: ") + failure);
    if (!failure.isEmpty())
        return std::nullopt;
    return QStringList{log.lastServerLine()};
}
