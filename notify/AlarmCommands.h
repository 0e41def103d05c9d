#pragma once

#include "settings/WatchEvent.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>

// How long an alarm command may run before it is ended: one minute.
extern std::chrono::milliseconds AlarmCommandTimeLimit;
// Commands past this many still running are not started.
inline constexpr int kMostAlarmCommands = 8;

// Runs the programs of the ONALARM and ONALARMOVER settings, split into a
// program and its arguments as splitShellWords does and never run through a
// shell, with the alarm in their environment: HOUNDLY_COUNT,
// HOUNDLY_ALARM_COUNT, HOUNDLY_TIME (the alarm's time as the history writes
// it), HOUNDLY_SNAPSHOT and HOUNDLY_CLIP (full paths, "" when there is none
// yet). ONALARM starts with the alarm's first snapshot, or with its next step
// when that comes first; ONALARMOVER at the alarm's end. Nobody waits for
// them: each tells CommandEnded when it has ended (after AlarmCommandTimeLimit
// it is ended), and those still running end when watching stops.
class AlarmCommands : public QObject {
public:
    explicit AlarmCommands(WatchTeller tell, QObject* parent = nullptr);
    ~AlarmCommands() override;

    void hear(const WatchEvent& event);

private:
    struct Alarm {
        QDateTime time;
        int32_t count = 0;
        int32_t alarmCount = 0;
        QString snapshot{};
        QString clip{};
        bool started = false;  // ONALARM has been dealt with
    };

    void startOnAlarm();
    void run(const QString& setting, const QString& commandLine);
    void tellEnd(const QString& setting, const QDateTime& alarm, bool ok, const QString& detail);
    void endAll();

    WatchTeller tell_;
    std::optional<Alarm> alarm_;
    int running_ = 0;
};
