#include "mail/MailLog.h"

#include "settings/PrivateFiles.h"

#include <QDateTime>
#include <QRegularExpression>

#include <utility>

namespace {
const QString kMask = QStringLiteral("****");

// Commands that hand the server the password itself (LOGIN and PLAIN answer
// with it; CRAM-MD5 and APOP send a digest only).
bool sendsPassword(const QString& line)
{
    const QStringList words = line.split(QLatin1Char(' '));
    const QString verb = words.value(0).toUpper();
    const QString mechanism = words.value(1).toUpper();
    return verb == QStringLiteral("PASS") ||
           (verb == QStringLiteral("AUTH") && (mechanism == QStringLiteral("LOGIN") || mechanism == QStringLiteral("PLAIN")));
}

QStringList splitLines(const QString& text)
{
    QString trimmed = text;
    while (trimmed.endsWith(QLatin1Char('\n')) || trimmed.endsWith(QLatin1Char('\r')))
        trimmed.chop(1);
    return trimmed.split(QRegularExpression(QStringLiteral("\r?\n")));
}
}  // namespace

MailExchangeLog::MailExchangeLog(QString logPath, const QString& protocol, const QString& server)
    : path_(std::move(logPath))
{
    lines_ << QStringLiteral("---- %1 %2 %3")
                  .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                       protocol, server);
}

void MailExchangeLog::note(const QString& text)
{
    for (const QString& line : splitLines(text))
        lines_ << QStringLiteral("* ") + line;
}

void MailExchangeLog::serverSaid(const QString& text)
{
    for (const QString& line : splitLines(text)) {
        lastServerLine_ = line;
        lines_ << QStringLiteral("< ") + lastServerLine_;
        if (line.startsWith(u'4') || line.startsWith(u'5') || line.startsWith(QStringLiteral("-ERR")))
            lastServerRefusal_ = line;
        lastReplyWasChallenge_ = line.startsWith(QStringLiteral("334 ")) ||
                                 line == QStringLiteral("334") || line.startsWith(QStringLiteral("+ ")) ||
                                 line == QStringLiteral("+");
    }
}

void MailExchangeLog::clientSaid(const QString& text)
{
    for (const QString& line : splitLines(text)) {
        // Older servers offer no STARTTLS and still get the password; the log says so.
        if (!encrypted_ && !warnedOfClearPassword_ && sendsPassword(line)) {
            lines_ << QStringLiteral("* warning: the password goes unencrypted: the server offers no STARTTLS");
            warnedOfClearPassword_ = true;
        }
        lines_ << QStringLiteral("> ") + maskedCommand(line, lastReplyWasChallenge_);
        lastReplyWasChallenge_ = false;
    }
}

void MailExchangeLog::encrypted()
{
    encrypted_ = true;
}

void MailExchangeLog::messageSent(qsizetype bytes)
{
    messageBytes_ += bytes;
}

bool MailExchangeLog::finish(const QString& result)
{
    if (messageBytes_ > 0)
        lines_ << QStringLiteral("* %1 bytes of message sent").arg(messageBytes_);
    lines_ << QStringLiteral("= ") + result;
    return appendToMailLog(path_, (lines_.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}

QString MailExchangeLog::maskedCommand(const QString& line, bool answersChallenge)
{
    if (answersChallenge)
        return kMask;
    const QStringList words = line.split(QLatin1Char(' '));
    const QString verb = words.value(0).toUpper();
    if (verb == QStringLiteral("AUTH") && words.size() > 2)
        return words[0] + QLatin1Char(' ') + words[1] + QLatin1Char(' ') + kMask;
    if (verb == QStringLiteral("PASS") && words.size() > 1)
        return words[0] + QLatin1Char(' ') + kMask;
    if (verb == QStringLiteral("APOP") && words.size() > 2)
        return words[0] + QLatin1Char(' ') + words[1] + QLatin1Char(' ') + kMask;
    return line;
}

bool appendToMailLog(const QString& logPath, const QByteArray& text)
{
    return appendToPrivateFile(logPath, text);
}
