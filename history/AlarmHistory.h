#pragma once

#include "history/AlarmRecord.h"
#include "settings/WatchEvent.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// Hears the watch events and appends one record to the history file for
// every alarm, from its Alarm event to its AlarmOver. An upload told after its
// alarm's record, and every file removed to keep storage in bounds, get lines
// of their own. Lines that cannot be written (a full disk) are kept and tried
// again before the next one, so the order stays; they are lost only if the
// program ends first, or, past ten thousand waiting, the oldest.
class AlarmHistory {
public:
    explicit AlarmHistory(QString logPath);
    // Writes an alarm still open (the program closed during it) as interrupted.
    ~AlarmHistory();
    AlarmHistory(const AlarmHistory&) = delete;
    AlarmHistory& operator=(const AlarmHistory&) = delete;

    void hear(const WatchEvent& event);
    // Lines waiting for room on the disk.
    int pendingLines() const { return int(pending_.size()); }

private:
    void closeAlarm(bool interrupted);
    void hearUpload(const WatchEvent& event);
    void append(const QJsonObject& line);

    QString logPath_;
    std::optional<AlarmRecord> open_;
    // The clip of every alarm this run, for uploads told after their record.
    QList<std::pair<QString, QDateTime>> clips_;
    QList<QJsonObject> pending_;
};
