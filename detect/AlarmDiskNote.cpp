#include "detect/AlarmDiskNote.h"

#include "detect/AlarmLevel.h"
#include "settings/DiskSpace.h"

#include <QCoreApplication>

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
    const char* lost = snapshotLost_ && clipLost_
                           ? QT_TRANSLATE_NOOP("AlarmDiskNote", " ﾃﾞｨｽｸがいっぱいで画像と動画を保存できませんでした。")
                       : snapshotLost_ ? QT_TRANSLATE_NOOP("AlarmDiskNote", " ﾃﾞｨｽｸがいっぱいで画像を保存できませんでした。")
                                       : QT_TRANSLATE_NOOP("AlarmDiskNote", " ﾃﾞｨｽｸがいっぱいで動画を保存できませんでした。");
    return alarmOverStatusText() + QCoreApplication::translate("AlarmDiskNote", lost);
}
