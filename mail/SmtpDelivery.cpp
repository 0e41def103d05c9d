#include "mail/MailConnection.h"
#include "mail/MailFields.h"
#include "mail/MailLibrary.h"
#include "mail/MimeHeaders.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

constexpr int kSmtpPort = 25;
constexpr int kSmtpsPort = 465;

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;
struct MimeDeleter {
    void operator()(curl_mime* mime) const { curl_mime_free(mime); }
};
using Mime = std::unique_ptr<curl_mime, MimeDeleter>;

void append(Slist& list, const QByteArray& line)
{
    curl_slist* extended = curl_slist_append(list.get(), line.constData());
    if (extended) {
        (void)list.release();
        list.reset(extended);
    }
}

// Text bodies travel with CRLF line ends.
QByteArray canonicalText(const QString& body)
{
    QByteArray text = body.toUtf8();
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    text.replace("\n", "\r\n");
    return text;
}

Slist messageHeaders(const RecipientParts& to, const QString& sender, const QString& subject)
{
    Slist headers;
    append(headers, "Date: " + mailDate(QDateTime::currentDateTime()));
    append(headers, "From: " + sender.toUtf8());
    append(headers, "To: " + to.recipient.toUtf8());
    for (const QString& extra : to.extraHeaders)
        append(headers, extra.toUtf8());
    append(headers, "Subject: " + encodedHeaderText(subject));
    append(headers, "Message-ID: " + messageId(sender));
    return headers;
}

Mime messageParts(CURL* easy, const QByteArray& text, const QString& attachmentPath)
{
    Mime mime(curl_mime_init(easy));
    curl_mimepart* textPart = curl_mime_addpart(mime.get());
    curl_mime_data(textPart, text.constData(), static_cast<size_t>(text.size()));
    curl_mime_type(textPart, "text/plain; charset=UTF-8");
    curl_mime_encoder(textPart, "base64");
    if (!attachmentPath.isEmpty()) {
        curl_mimepart* picture = curl_mime_addpart(mime.get());
        curl_mime_filedata(picture, QFile::encodeName(attachmentPath).constData());
        curl_mime_filename(picture, QFileInfo(attachmentPath).fileName().toUtf8().constData());
        curl_mime_type(picture, "image/jpeg");
        curl_mime_encoder(picture, "base64");
    }
    return mime;
}

// Values that would end a header line or an SMTP command early.
QString unsafeValue(const RecipientParts& to, const SenderParts& from)
{
    if (hasControlCharacters(to.recipient) || envelopeAddress(to.recipient).isEmpty())
        return QStringLiteral("recipient is empty or holds a line break");
    if (hasControlCharacters(from.sender) || envelopeAddress(from.sender).isEmpty())
        return QStringLiteral("sender is empty or holds a line break");
    for (const QString& extra : to.extraHeaders)
        if (hasControlCharacters(extra) || !extra.contains(QLatin1Char(':')))
            return QStringLiteral("extra header is malformed");
    if (hasControlCharacters(from.account))
        return QStringLiteral("SMTP account holds a line break");
    if (!from.mechanism.isEmpty() && from.mechanism != QStringLiteral("LOGIN") &&
        from.mechanism != QStringLiteral("CRAM-MD5"))
        return QStringLiteral("unknown authentication mechanism ") + from.mechanism;
    return {};
}

}  // namespace

QString SendMailEx(const QString& logPath, const QString& serverField, const QString& recipientField,
                   const QString& senderField, const QString& subject, const QString& body,
                   const QString& attachmentPath, const QDeadlineTimer& deadline)
{
    const RecipientParts to = parseRecipientField(recipientField);
    const SenderParts from = parseSenderField(senderField);
    const std::optional<ServerAddress> server = parseServerField(serverField, kSmtpPort);
    const QString serverText = server ? QStringLiteral("%1:%2").arg(server->host).arg(server->port)
                                      : serverField.simplified();
    MailExchangeLog log(logPath, QStringLiteral("SMTP"), serverText);

    QString failure = server ? unsafeValue(to, from) : QStringLiteral("no SMTP server or bad port");
    if (failure.isEmpty() && !attachmentPath.isEmpty() && !QFileInfo(attachmentPath).isReadable())
        failure = QStringLiteral("attachment cannot be read: ") + attachmentPath;
    if (!failure.isEmpty()) {
        log.finish(QStringLiteral("not sent: ") + failure);
        return failure;
    }

    MailConnection connection(mailServerUrl(QStringLiteral("smtp"), QStringLiteral("smtps"), kSmtpsPort,
                                            server->host, server->port),
                              log, deadline);
    CURL* easy = connection.handle();
    Slist recipients;
    append(recipients, "<" + envelopeAddress(to.recipient).toUtf8() + ">");
    const Slist headers = messageHeaders(to, from.sender, subject);
    const Mime parts = messageParts(easy, canonicalText(body), attachmentPath);
    if (easy) {
        const QByteArray envelopeSender = "<" + envelopeAddress(from.sender).toUtf8() + ">";
        curl_easy_setopt(easy, CURLOPT_MAIL_FROM, envelopeSender.constData());
        curl_easy_setopt(easy, CURLOPT_MAIL_RCPT, recipients.get());
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(easy, CURLOPT_MIMEPOST, parts.get());
        if (!from.mechanism.isEmpty()) {
            curl_easy_setopt(easy, CURLOPT_USERNAME, from.account.toUtf8().constData());
            curl_easy_setopt(easy, CURLOPT_PASSWORD, from.password.toUtf8().constData());
            curl_easy_setopt(easy, CURLOPT_LOGIN_OPTIONS, ("AUTH=" + from.mechanism.toLatin1()).constData());
        }
    }
    failure = connection.perform();
    log.finish(failure.isEmpty() ? QStringLiteral("sent") : QStringLiteral("not sent: ") + failure);
    // The library names only the reply's code; the server's own words say why.
    if (!failure.isEmpty() && !log.lastServerRefusal().isEmpty())
        failure += QStringLiteral(" (%1)").arg(log.lastServerRefusal());
    return failure;
}
