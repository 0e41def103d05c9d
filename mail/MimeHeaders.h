#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Header values of an Internet message (RFC 5322, RFC 2047).

// The text as it may stand in a header: printable ASCII unchanged, anything
// else as UTF-8 "B" encoded words folded onto continuation lines.
QByteArray encodedHeaderText(const QString& text);

// "Sun, 06 Dec 2026 19:33:43 +0900"
QByteArray mailDate(const QDateTime& when);

// "<unique@domain>", the domain taken from the sender address.
QByteArray messageId(const QString& senderAddress);
