#include "capture/NetworkUrl.h"

#include <QRegularExpression>

#include <algorithm>

bool isNetworkCameraUrl(const QString& source)
{
    static const QRegularExpression networkScheme(QStringLiteral("^(rtsps?|rtmps?|https?|udp|tcp|rtp|srt)://"),
                                                  QRegularExpression::CaseInsensitiveOption);
    return networkScheme.match(source).hasMatch();
}

QString maskUrlCredentials(const QString& text)
{
    // Everything between "scheme://" and the last "@" before the host: a password
    // may itself hold an unescaped "@".
    static const QRegularExpression userInfo(QStringLiteral("\\b([A-Za-z][A-Za-z0-9+.-]*://)[^\\s/?#]*@"));
    QString masked = text;
    return masked.replace(userInfo, QStringLiteral("\\1***@"));
}

bool isAcceptedCameraUrl(const QString& url)
{
    const bool blankOrControl = std::any_of(url.begin(), url.end(), [](QChar c) {
        return c.isSpace() || c.category() == QChar::Other_Control;
    });
    if (blankOrControl)
        return false;
    static const QRegularExpression form(QStringLiteral("^(rtsp|https?)://([^/?#]*)([/?#].*)?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch parts = form.match(url);
    if (!parts.hasMatch())
        return false;
    const QString authority = parts.captured(2);
    // A host name, an IPv4 address or a bracketed IPv6 address, then maybe a port.
    static const QRegularExpression hostAndPort(QStringLiteral("^(\\[[0-9A-Fa-f:.]+\\]|[^:\\[\\]@]+)(:(\\d{1,5}))?$"));
    const QRegularExpressionMatch host = hostAndPort.match(authority.mid(authority.lastIndexOf(u'@') + 1));
    if (!host.hasMatch())
        return false;
    const QString port = host.captured(3);
    return port.isEmpty() || (port.toInt() >= 1 && port.toInt() <= 65535);
}
