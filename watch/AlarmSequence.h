#pragma once

#include "settings/WatchEvent.h"

#include <cstdint>

// What an alarm does, supplied by the watcher (or by a test).
class AlarmActions {
public:
    virtual ~AlarmActions() = default;
    // The next tick takes a new reference without comparing (SkipCompare).
    virtual void skipNextCompare() = 0;
    virtual void tell(const WatchEvent& event) = 0;
    // Starts the warning sound and its repeat, when a sound is chosen.
    virtual void startSound() = 0;
    // The alarm's status texts and red lamp, painted at once.
    virtual void showAlarm() = 0;
    virtual void lockCommands(bool locked) = 0;
    // The clip's start, when it begins before the alarm (pre-event recording):
    // before the mail, so that the clip runs on through it.
    virtual void startClip() {}
    // Starts the automatic mail when the mail account is complete; its end,
    // or at once when there is none, continues the alarm (finishAlarmSequence).
    virtual void sendMail() = 0;
    // The clip, when recording is on.
    virtual void recordClip() = 0;
    // The recorded clip's upload, when uploading is on: now, or handed to the
    // background uploads (which go one at a time, in order).
    virtual void uploadClip(bool inBackground) = 0;
    // True once watching is shutting down: nothing more is done then.
    virtual bool closing() const = 0;
    virtual void showAlarmOver() = 0;
};

// How the options change an alarm's order.
struct AlarmOrder {
    bool backgroundUpload = false;  // the upload goes on after the alarm, watching resumes at once
};

// The order of an alarm's steps, kept in one place: the next tick takes a new
// reference, the sound starts, the lamps show before mail and recording hold
// the window, a clip that reaches back before the alarm starts before the
// mail, the commands stay locked through both and open again after. The
// alarm starts up to its mail; the mail's end finishes it.
void startAlarmSequence(AlarmActions& actions, int32_t count, int16_t alarmCount);
void finishAlarmSequence(AlarmActions& actions, AlarmOrder order = {});
