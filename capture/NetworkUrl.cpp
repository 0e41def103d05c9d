#include "capture/NetworkUrl.h"

#include <QRegularExpression>

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
