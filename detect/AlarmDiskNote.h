#pragma once

#include "settings/WatchEvents.h"

#include <QString>

// Hears, from an alarm's watch events, which of its files could not be
// written because the disk was full, so the text at its end can say so.
class AlarmDiskNote {
public:
    AlarmDiskNote();
    ~AlarmDiskNote();
    AlarmDiskNote(const AlarmDiskNote&) = delete;
    AlarmDiskNote& operator=(const AlarmDiskNote&) = delete;

    // Status panel 1 once the alarm is over: the described text, followed by
    // what could not be saved, when anything could not.
    QString alarmOverText() const;

private:
    void hear(const WatchEvent& event);

    int listenerId_ = 0;
    bool snapshotLost_ = false;
    bool clipLost_ = false;
};
