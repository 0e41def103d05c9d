#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The texts handed to the mail library, built from the MAIL settings, and
// their reading on the library's side.

// "server<TAB>port" as stored in MAIL/SMTP and MAIL/POP.
struct ServerAddress {
    QString host;
    int port = 0;
};
// Reads a stored server field; the port defaults when the field has none.
// Empty when the host is empty or the port is not a number in 1..65535.
std::optional<ServerAddress> parseServerField(const QString& field, int defaultPort);

// recipient, TAB, ">Reply-To: ", sender.
QString recipientField(const QString& recipient, const QString& sender);
// "<" sender ">", and with SMTP-AUTH a TAB, account ":" password, a TAB, mechanism.
QString senderField(const QString& sender);
QString senderFieldWithAuth(const QString& sender, const QString& account, const QString& password,
                            bool cramMd5);

struct RecipientParts {
    QString recipient;
    QStringList extraHeaders;  // "Name: value", from the parts introduced by ">"
};
RecipientParts parseRecipientField(const QString& field);

struct SenderParts {
    QString sender;  // without the angle brackets
    QString account;
    QString password;
    QString mechanism;  // "" without SMTP-AUTH, else "LOGIN" or "CRAM-MD5"
};
SenderParts parseSenderField(const QString& field);

// The address inside "Name <address>", or the whole text trimmed.
QString envelopeAddress(const QString& address);

// True when the text holds a line break or another control character that
// could end a header line or a protocol command early.
bool hasControlCharacters(const QString& text);

// The text without spaces at either end; line breaks and tabs stay.
QString trimSpaces(const QString& text);

// A stored number such as MAIL/ATT read the way the settings file holds it.
std::optional<int> settingNumber(const QString& text);
