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
    // The steps that take time. Each reports its end through
    // AlarmSequence::stepEnded, later through the event loop or at once.
    // The automatic mail, when the mail account is complete.
    virtual void sendMail() = 0;
    // The clip, when recording is on.
    virtual void recordClip() = 0;
    // The recorded clip's upload, when uploading is on: now, or handed to the
    // background uploads (which go one at a time, in order).
    virtual void uploadClip(bool inBackground) = 0;
    virtual void showAlarmOver() = 0;
    // The alarm is over and told: the next one may begin.
    virtual void alarmEnded() {}
};

// How the options change an alarm's order.
struct AlarmOrder {
    bool backgroundUpload = false;  // the upload goes on after the alarm, watching resumes at once
    bool keepWatching = false;      // the commands stay usable through the alarm
};

// The order of an alarm's steps, kept in one place: the next tick takes a new
// reference, the sound starts, the lamps show before mail and recording, a
// clip that reaches back before the alarm starts before the mail, the
// commands stay locked through mail, clip and upload and open again after.
// Each step begins when the one before it has ended; nothing here waits.
class AlarmSequence {
public:
    enum class Step { None, Mail, Clip, Upload };

    explicit AlarmSequence(AlarmActions& actions) : actions_(actions) {}

    // Up to the mail's start.
    void start(int32_t count, int16_t alarmCount, AlarmOrder order = {});
    // `step` has ended: the next begins, or after the upload the alarm is
    // over. The end of a step that is not under way (abandoned) is ignored.
    void stepEnded(Step step);
    // The steps still to come are left undone and the alarm's end untold (closing).
    void abandon() { step_ = Step::None; }
    Step step() const { return step_; }
    bool running() const { return step_ != Step::None; }
    const AlarmOrder& order() const { return order_; }

private:
    void begin(Step step);

    AlarmActions& actions_;
    AlarmOrder order_;
    Step step_ = Step::None;
};
