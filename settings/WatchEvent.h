#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>

// What happens while watching, as the parts that do it tell the watcher
// (watch/WatchEvents.h), which tells its listeners.
struct WatchEvent {
    enum class Kind {
        Started,       // name: the camera, credentials masked; detail: the words on the mask
        CameraLost,    // name: the camera
        CameraBack,    // name: the camera
        Alarm,         // count, alarmCount, alarmTime
        Snapshot,      // name: the JPEG written; ok false: detail says why not
        MailSent,      // name: destination "A".."D"; detail: recipient or the failure
        ClipRecorded,  // name: the clip; ok false: detail says why not
        Uploaded,      // name: the remote file name; detail: the failure; clip: the clip uploaded
        AlarmOver,
        AlarmDropped,  // count, alarmCount: an alarm that waited behind others and will not run
        FileRemoved,   // name: a snapshot or clip removed to keep storage in bounds
        MaskUnusable,  // name: the mask file; detail: why watching goes on without it
        Stopped,
        CommandEnded,  // name: ONALARM or ONALARMOVER; ok: it exited 0; detail: how it ended; alarmTime
    };
    Kind kind = Kind::Started;
    bool ok = true;
    QString name{};
    QString detail{};
    int32_t count = 0;
    int32_t alarmCount = 0;
    // Uploaded: the clip the upload was made from (also when its fixed-name copy
    // went up), so an upload told after its alarm finds that alarm.
    QString clip{};
    // Alarm: when it was raised, which names it; a result told later carries it back.
    QDateTime alarmTime{};
};

// How a part tells what it did; the watcher hands one to each part it runs.
using WatchTeller = std::function<void(const WatchEvent&)>;
