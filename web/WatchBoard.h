#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>

// What the web view shows of watching, as the watcher last told it.
struct WatchState {
    bool watching = false;
    bool locked = false;  // the commands are locked: an alarm or a dialog holds watching
    int level = 0;        // AlarmLevel: 0 calm .. 3 alarm
    QString status;       // the guard dog's text
    int32_t count = 0;
    int32_t alarmCount = 0;
    QDateTime lastAlarm;  // invalid before the first alarm
    QString camera;       // credentials masked
    bool cameraLost = false;
    int uploadsWaiting = 0;
    bool uploading = false;
    QByteArray timeLine;  // JSON array of the last 24 hours' slots
    QString clock;        // the time of the last tick
};

// The watch state handed from the watcher's thread to the server's: changed
// by the watcher's signals, copied whole by each request. Safe from any thread.
class WatchBoard {
public:
    void change(const std::function<void(WatchState&)>& edit)
    {
        const std::lock_guard lock(mutex_);
        edit(state_);
    }
    WatchState read() const
    {
        const std::lock_guard lock(mutex_);
        return state_;
    }

private:
    mutable std::mutex mutex_;
    WatchState state_;
};

// The state as GET /api/status returns it.
QByteArray statusJson(const WatchState& state);
