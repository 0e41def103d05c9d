#include "settings/CommonHelpers.h"

#include <QFileInfo>

QString GetShortPath(const QString& path)
{
    if (path.isEmpty()) {
        return {};
    }
    return QFileInfo(path).canonicalFilePath();
}

QString fileTimeStamp(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyMMddHHmmss_"));
}
