#pragma once

#include "history/AlarmRecord.h"
#include "settings/WatchEvent.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The latest alarm as the alarm topic tells it, gathered from its watch
// events: one JSON object in the form of history.log's alarm records (time,
// count, alarmCount, snapshots, mails, clip, upload, commands, paths relative
// to the application folder) with "over" in place of "type" and
// "interrupted". An upload or a command's end told after the alarm still joins it.
class MqttAlarm {
public:
    // True when the event changed the alarm, a new one included.
    bool hear(const WatchEvent& event);
    QByteArray json() const;

private:
    std::optional<AlarmRecord> record_;
    bool over_ = false;
};
