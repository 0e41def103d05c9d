#pragma once

#include "settings/WatchEvent.h"

#include <QString>

// Hears, from an alarm's watch events, which of its files could not be
// written because the disk was full, so the text at its end can say so.
class AlarmDiskNote {
public:
    void hear(const WatchEvent& event);
    // Status panel 1 once the alarm is over: the described text, followed by
    // what could not be saved, when anything could not.
    QString alarmOverText() const;

private:
    bool snapshotLost_ = false;
    bool clipLost_ = false;
};
