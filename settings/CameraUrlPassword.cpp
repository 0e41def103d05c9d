#include "settings/CameraUrlPassword.h"

#include "settings/PasswordShift.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// The characters that would change where the stored URL splits, and the escape mark itself.
const QString kSplitting = QStringLiteral("%/?#@");

QString escapeSplitting(const QString& text)
{
    QString escaped;
    for (const QChar c : text) {
        if (kSplitting.contains(c))
            escaped += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            escaped += c;
    }
    return escaped;
}

QString unescapeSplitting(const QString& text)
{
    QString plain = text;
    for (const QChar c : kSplitting)
        if (c != u'%')
            plain.replace(escapeSplitting(c), c, Qt::CaseInsensitive);
    // The mark last, so that an escaped mark never starts another escape.
    return plain.replace(QStringLiteral("%25"), QStringLiteral("%"));
}

QString withPassword(const QString& url, UrlPasswordSpan span, const QString& password)
{
    return QString(url).replace(span.start, span.length, password);
}

}  // namespace

UrlPasswordSpan urlPasswordSpan(const QString& url)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    const QRegularExpressionMatch match = scheme.match(url);
    if (!match.hasMatch())
        return {};
    const qsizetype authority = match.capturedEnd();
    qsizetype authorityEnd = url.size();
    for (const QChar end : {u'/', u'?', u'#'}) {
        const qsizetype at = url.indexOf(end, authority);
        if (at >= 0)
            authorityEnd = std::min(authorityEnd, at);
    }
    const qsizetype userInfoEnd = url.lastIndexOf(u'@', authorityEnd - 1);
    if (userInfoEnd < authority)
        return {};
    const qsizetype colon = url.indexOf(u':', authority);
    if (colon < 0 || colon > userInfoEnd)
        return {};
    return {colon + 1, userInfoEnd - colon - 1};
}

std::optional<QString> toStoredCamera(const QString& camera, FileEncoding encoding)
{
    const UrlPasswordSpan span = urlPasswordSpan(camera);
    if (span.length == 0)
        return camera;
    const std::optional<QString> shifted = shiftPassword(camera.mid(span.start, span.length), encoding);
    if (!shifted)
        return std::nullopt;
    return withPassword(camera, span, escapeSplitting(*shifted));
}

QString fromStoredCamera(const QString& stored, FileEncoding encoding)
{
    const UrlPasswordSpan span = urlPasswordSpan(stored);
    if (span.length == 0)
        return stored;
    const QString shifted = unescapeSplitting(stored.mid(span.start, span.length));
    const std::optional<QString> clear = unshiftPassword(shifted, encoding);
    return clear ? withPassword(stored, span, *clear) : stored;
}
