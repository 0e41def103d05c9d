#pragma once

#include "history/AlarmRecord.h"
#include "settings/WatchEvent.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// Hears the watch events and appends every alarm to the history file as
// it happens: its record when it is raised, each result (snapshot, mail, clip,
// upload) when it is told, and its end. An alarm the program does not live to
// end (a stop, a close or a kill during it) thus stays in the file, with what
// it did, as interrupted. An upload told after its alarm finds it by its clip,
// an alarm command's end by the alarm's time;
// every file removed to keep storage in bounds gets a line too. Lines that
// cannot be written (a full disk) are kept and tried again before the next
// one, so the order stays; they are lost only if the program ends first, or,
// past ten thousand waiting, the oldest.
class AlarmHistory {
public:
    explicit AlarmHistory(QString logPath);
    AlarmHistory(const AlarmHistory&) = delete;
    AlarmHistory& operator=(const AlarmHistory&) = delete;

    void hear(const WatchEvent& event);
    // Lines waiting for room on the disk.
    int pendingLines() const { return int(pending_.size()); }

private:
    // The alarm under way: its time names it in its later lines.
    struct OpenAlarm {
        QDateTime time;
        QString clip;
    };

    void hearUpload(const WatchEvent& event);
    void appendResult(const QJsonObject& fields);
    void append(const QJsonObject& line);

    QString logPath_;
    std::optional<OpenAlarm> open_;
    // The clip of every alarm this run, for uploads told after their alarm.
    QList<std::pair<QString, QDateTime>> clips_;
    QList<QJsonObject> pending_;
};
