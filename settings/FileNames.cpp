#include "settings/CommonHelpers.h"

#include <QDir>
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

QString unusedTimeStampedPath(const QString& folder, const QDateTime& time, const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString stem = QDir(folder).filePath(fileTimeStamp(time) + name.left(dot));
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    // A dangling link is taken too: writing through it would make a file elsewhere.
    const auto taken = [](const QString& path) { return QFileInfo::exists(path) || QFileInfo(path).isSymLink(); };
    QString path = stem + extension;
    for (int number = 2; taken(path); ++number)
        path = stem + QLatin1Char('_') + QString::number(number) + extension;
    return path;
}
