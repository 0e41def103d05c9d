#include "settings/ProfileValue.h"

namespace {

const QString kEscapeMark = QStringLiteral("\\:");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isEnclosedInQuotes(QStringView text)
{
    return text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') && text.back() == text.front();
}

// Whether the reader's blank trimming or quote removal would change the text.
bool wouldLoseItsEnds(QStringView text)
{
    return (!text.isEmpty() && (isBlank(text.front()) || isBlank(text.back()))) || isEnclosedInQuotes(text);
}

bool needsEscaping(QStringView value)
{
    return value.contains(u'\n') || value.contains(u'\r') || value.startsWith(kEscapeMark);
}

QString escape(QStringView value)
{
    QString stored = kEscapeMark;
    stored.reserve(kEscapeMark.size() + value.size() + value.size() / 8);
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\': stored += u"\\\\"; break;
        case u'\n': stored += u"\\n"; break;
        case u'\r': stored += u"\\r"; break;
        case u'\t': stored += u"\\t"; break;
        default: stored += c;
        }
    }
    // The reader trims a final space away.
    if (stored.endsWith(u' ')) {
        stored.chop(1);
        stored += u"\\s";
    }
    return stored;
}

QString unescape(QStringView stored)
{
    QString value;
    value.reserve(stored.size());
    for (qsizetype i = kEscapeMark.size(); i < stored.size(); ++i) {
        const QChar c = stored[i];
        if (c != u'\\' || i + 1 == stored.size()) {
            value += c;
            continue;
        }
        switch (stored[i + 1].unicode()) {
        case u'\\': value += u'\\'; break;
        case u'n': value += u'\n'; break;
        case u'r': value += u'\r'; break;
        case u't': value += u'\t'; break;
        case u's': value += u' '; break;
        default: value += c; continue;  // not an escape: keep the backslash as text
        }
        ++i;
    }
    return value;
}

}  // namespace

QString unquoteProfileValue(QStringView text)
{
    return (isEnclosedInQuotes(text) ? text.sliced(1, text.size() - 2) : text).toString();
}

QString cutProfileValue(const QString& text, qsizetype maxLength)
{
    if (text.size() <= maxLength) {
        return text;
    }
    const qsizetype length = text[maxLength - 1].isHighSurrogate() ? maxLength - 1 : maxLength;
    return text.first(length);
}

bool isEscapedProfileValue(QStringView stored)
{
    return stored.startsWith(kEscapeMark);
}

QString toStoredValue(const QString& value)
{
    // An escaped value reads back with its blanks and quotes, so a value whose ends
    // the plain form would lose is escaped too: a load then a save changes nothing.
    return needsEscaping(value) || wouldLoseItsEnds(value) ? escape(value) : value;
}

QString fromStoredValue(QStringView stored)
{
    return isEscapedProfileValue(stored) ? unescape(stored) : unquoteProfileValue(stored);
}

QString toStoredPassword(const QString& shifted)
{
    if (needsEscaping(shifted)) {
        return escape(shifted);
    }
    if (wouldLoseItsEnds(shifted)) {
        return u'"' + shifted + u'"';
    }
    return shifted;
}

QString fromStoredPassword(QStringView stored)
{
    if (isEscapedProfileValue(stored)) {
        return unescape(stored);
    }
    // Wrapping quotes are only ever written around a form that needs them;
    // a quoted form that does not is a shifted password as older files hold it.
    if (stored.size() >= 2 && stored.front() == u'"' && stored.back() == u'"') {
        const QStringView inner = stored.sliced(1, stored.size() - 2);
        if (wouldLoseItsEnds(inner)) {
            return inner.toString();
        }
    }
    return stored.toString();
}
