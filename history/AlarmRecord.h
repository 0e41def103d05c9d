#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// One destination's automatic mail.
struct MailResult {
    QString destination;  // "A".."D"
    bool ok = false;
    QString detail;  // the recipient, or why the mail failed
    bool operator==(const MailResult&) const = default;
};

// The clip's upload; it may be told after the alarm when uploads run in the background.
struct UploadResult {
    bool ok = false;
    QString name;     // the remote file name
    QString failure;  // "" when it went up
    bool operator==(const UploadResult&) const = default;
};

// Everything one alarm did, gathered from its watch events. Paths are kept
// relative to the application folder when they lie inside it.
struct AlarmRecord {
    QDateTime time;  // when the alarm was raised; identifies the record
    int32_t count = 0;
    int32_t alarmCount = 0;
    QStringList snapshots;         // written
    QStringList snapshotFailures;  // why a snapshot was not written
    QList<MailResult> mails;
    QString clip;  // the clip's path, also when it could not be recorded
    bool clipRecorded = false;
    QString clipFailure;
    std::optional<UploadResult> upload;
    bool interrupted = false;  // the program closed before the alarm was over
    bool operator==(const AlarmRecord&) const = default;
};

// The line kinds of history.log, one JSON object a line:
//   {"type":"alarm", ...}  an AlarmRecord
//   {"type":"upload","alarm":time,"clip":path, ok,name,failure}  an upload told after its alarm's record
//   {"type":"removed","time":time,"file":path}  a file deleted to keep storage in bounds
QJsonObject alarmToJson(const AlarmRecord& record);
// Nothing when the object is not an alarm record or lacks its time.
std::optional<AlarmRecord> alarmFromJson(const QJsonObject& object);

QJsonObject uploadToJson(const UploadResult& upload);
UploadResult uploadFromJson(const QJsonObject& object);

// The form of every time in the file: local time with its offset and milliseconds.
QString historyTimeText(const QDateTime& time);
QDateTime historyTimeFromText(const QString& text);
