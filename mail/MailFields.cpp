#include "mail/MailFields.h"

#include <cmath>

namespace {
const QChar kTab = QLatin1Char('\t');
}

std::optional<ServerAddress> parseServerField(const QString& field, int defaultPort)
{
    const int tab = field.indexOf(kTab);
    ServerAddress address;
    address.host = (tab < 0 ? field : field.left(tab)).trimmed();
    if (address.host.isEmpty())
        return std::nullopt;
    const QString portText = tab < 0 ? QString() : field.mid(tab + 1).section(kTab, 0, 0).trimmed();
    if (portText.isEmpty()) {
        address.port = defaultPort;
        return address;
    }
    bool ok = false;
    address.port = portText.toInt(&ok);
    if (!ok || address.port < 1 || address.port > 65535)
        return std::nullopt;
    return address;
}

QString recipientField(const QString& recipient, const QString& sender)
{
    return recipient + kTab + QStringLiteral(">Reply-To: ") + sender;
}

QString senderField(const QString& sender)
{
    return QLatin1Char('<') + sender + QLatin1Char('>');
}

QString senderFieldWithAuth(const QString& sender, const QString& account, const QString& password,
                            bool cramMd5)
{
    return senderField(sender) + kTab + account + QLatin1Char(':') + password + kTab +
           (cramMd5 ? QStringLiteral("CRAM-MD5") : QStringLiteral("LOGIN"));
}

RecipientParts parseRecipientField(const QString& field)
{
    const QStringList parts = field.split(kTab);
    RecipientParts result;
    result.recipient = parts.value(0);
    for (qsizetype i = 1; i < parts.size(); ++i)
        if (parts[i].startsWith(QLatin1Char('>')))
            result.extraHeaders << parts[i].mid(1);
    return result;
}

SenderParts parseSenderField(const QString& field)
{
    SenderParts result;
    const int firstTab = field.indexOf(kTab);
    QString sender = firstTab < 0 ? field : field.left(firstTab);
    if (sender.startsWith(QLatin1Char('<')) && sender.endsWith(QLatin1Char('>')))
        sender = sender.mid(1, sender.size() - 2);
    result.sender = sender;
    const int lastTab = field.lastIndexOf(kTab);
    if (firstTab < 0 || lastTab == firstTab)
        return result;
    // The password may hold ':' or TABs: the account ends at the first ':',
    // the mechanism follows the last TAB.
    const QString credentials = field.mid(firstTab + 1, lastTab - firstTab - 1);
    const int colon = credentials.indexOf(QLatin1Char(':'));
    result.account = colon < 0 ? credentials : credentials.left(colon);
    result.password = colon < 0 ? QString() : credentials.mid(colon + 1);
    result.mechanism = field.mid(lastTab + 1);
    return result;
}

QString envelopeAddress(const QString& address)
{
    const int open = address.lastIndexOf(QLatin1Char('<'));
    const int close = address.lastIndexOf(QLatin1Char('>'));
    if (open >= 0 && close > open)
        return address.mid(open + 1, close - open - 1).trimmed();
    return address.trimmed();
}

bool hasControlCharacters(const QString& text)
{
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return true;
    return false;
}

std::optional<int> settingNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (ok)
        return value;
    const double real = text.trimmed().toDouble(&ok);
    if (ok && real >= -32768.5 && real < 32767.5)
        return static_cast<int>(std::nearbyint(real));  // ties to even
    return std::nullopt;
}

QString trimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}
