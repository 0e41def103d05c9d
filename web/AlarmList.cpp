#include "web/AlarmList.h"

#include "history/HistoryLog.h"
#include "history/StorageKeeper.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The file's name when it is one of the program's own and lies in `folder`; "" otherwise.
QString servedName(const QString& path, const QDir& folder, bool (*named)(const QString&))
{
    const QString name = QFileInfo(path).fileName();
    return named(name) && QFileInfo(folder.filePath(name)).isFile() ? name : QString();
}

QJsonObject withLinks(const AlarmRecord& record, const QDir& images, const QDir& clips)
{
    QJsonObject object = alarmToJson(record);
    QJsonArray snapshots;
    for (const QString& path : record.snapshots)
        if (const QString name = servedName(path, images, &isSnapshotName); !name.isEmpty())
            snapshots.append(QStringLiteral("/media/img/") + name);
    object.insert(QStringLiteral("snapshotLinks"), snapshots);
    if (const QString name = servedName(record.clip, clips, &isClipName); !name.isEmpty()) {
        object.insert(QStringLiteral("clipLink"), QStringLiteral("/media/avi/") + name);
        object.insert(QStringLiteral("clipStreamLink"), QStringLiteral("/clips/") + name.chopped(4) + QStringLiteral(".mjpg"));
    }
    return object;
}

}  // namespace

QByteArray alarmsJson(const QString& historyPath, const QString& appFolder, std::optional<QDate> day)
{
    const HistoryContents contents = readHistory(historyPath);
    const QDir folder(appFolder);
    const QDir images(folder.filePath(QStringLiteral("img")));
    const QDir clips(folder.filePath(QStringLiteral("avi")));
    QJsonArray alarms;
    for (auto record = contents.alarms.crbegin(); record != contents.alarms.crend() && alarms.size() < kMostAlarms;
         ++record) {
        if (!day || record->time.date() == *day)
            alarms.append(withLinks(*record, images, clips));
    }
    return QJsonDocument(alarms).toJson(QJsonDocument::Compact);
}
