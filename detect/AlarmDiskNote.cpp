#include "detect/AlarmDiskNote.h"

#include "detect/AlarmLevel.h"
#include "settings/DiskSpace.h"

void AlarmDiskNote::hear(const WatchEvent& event)
{
    const bool lostForRoom = !event.ok && event.detail == diskFullText();
    switch (event.kind) {
    case WatchEvent::Kind::Alarm:
        snapshotLost_ = clipLost_ = false;
        return;
    case WatchEvent::Kind::Snapshot:
        snapshotLost_ = snapshotLost_ || lostForRoom;
        return;
    case WatchEvent::Kind::ClipRecorded:
        clipLost_ = clipLost_ || lostForRoom;
        return;
    default:
        return;
    }
}

QString AlarmDiskNote::alarmOverText() const
{
    if (!snapshotLost_ && !clipLost_)
        return alarmOverStatusText();
    const QString what = snapshotLost_ && clipLost_ ? QStringLiteral("画像と動画")
                         : snapshotLost_           ? QStringLiteral("画像")
                                                   : QStringLiteral("動画");
    return alarmOverStatusText() + QStringLiteral(" ﾃﾞｨｽｸがいっぱいで%1を保存できませんでした。").arg(what);
}
