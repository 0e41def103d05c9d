#include "mail/MimeHeaders.h"

#include "mail/MailFields.h"

#include <QLocale>
#include <QRegularExpression>
#include <QUuid>

#include <cstdlib>

namespace {

// "=?UTF-8?B?" + 60 base64 characters + "?=" stays within 75 characters.
constexpr qsizetype kBytesPerWord = 45;

bool isPlainHeaderText(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    return !text.contains(QStringLiteral("=?"));
}

}  // namespace

QByteArray encodedHeaderText(const QString& text)
{
    if (isPlainHeaderText(text))
        return text.toLatin1();
    QByteArray result;
    QByteArray word;
    const auto flush = [&] {
        if (word.isEmpty())
            return;
        if (!result.isEmpty())
            result += "\r\n ";
        result += "=?UTF-8?B?" + word.toBase64() + "?=";
        word.clear();
    };
    // Words end on whole characters so that each decodes on its own.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray character = text.mid(i, length).toUtf8();
        if (word.size() + character.size() > kBytesPerWord)
            flush();
        word += character;
        i += length - 1;
    }
    flush();
    return result;
}

QByteArray mailDate(const QDateTime& when)
{
    const int offsetMinutes = when.offsetFromUtc() / 60;
    const int absolute = std::abs(offsetMinutes);
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(offsetMinutes < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                             .arg(absolute / 60, 2, 10, QLatin1Char('0'))
                             .arg(absolute % 60, 2, 10, QLatin1Char('0'));
    return (QLocale::c().toString(when, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss ")) + zone).toLatin1();
}

QByteArray messageId(const QString& senderAddress)
{
    const QString address = envelopeAddress(senderAddress);
    QString domain = address.section(QLatin1Char('@'), -1);
    static const QRegularExpression hostName(QStringLiteral("^[A-Za-z0-9.-]+$"));
    if (!address.contains(QLatin1Char('@')) || !hostName.match(domain).hasMatch())
        domain = QStringLiteral("houndly.invalid");
    const QString unique = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return ("<" + unique + "@" + domain + ">").toUtf8();
}
