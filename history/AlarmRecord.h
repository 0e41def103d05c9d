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

// An alarm command's end (ONALARM or ONALARMOVER), which may come after its alarm's.
struct CommandResult {
    QString setting;
    bool ok = false;  // it exited 0
    QString detail;   // its exit and first error line, or why it was not run or was ended
    bool operator==(const CommandResult&) const = default;
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
    QList<CommandResult> commands;
    bool interrupted = false;  // the program closed before the alarm was over
    bool operator==(const AlarmRecord&) const = default;
};

// The line kinds of history.log, one JSON object a line:
//   {"type":"alarm", ...}  an AlarmRecord; written when the alarm starts, as interrupted
//   {"type":"result","alarm":time, fields of an AlarmRecord}  what the alarm did, told as it
//       happened: its lists add to the record's, its other fields replace the record's
//       ("interrupted":false when the alarm is over); an alarm command's end may come
//       after the alarm's
//   {"type":"upload","alarm":time,"clip":path, ok,name,failure}  the clip's upload
//   {"type":"removed","time":time,"file":path}  a file deleted to keep storage in bounds
//   {"type":"mask","time":time,"file":path,"problem":why}  watching went on without the mask file
// The record of an alarm the program did not live to end stays interrupted.
QJsonObject alarmToJson(const AlarmRecord& record);
// Nothing when the object is not an alarm record or lacks its time.
std::optional<AlarmRecord> alarmFromJson(const QJsonObject& object);

// A result line of the alarm raised at `alarm`, holding `fields`.
QJsonObject resultLine(const QDateTime& alarm, QJsonObject fields);
// Adds the fields of a result line to the record.
void mergeResult(AlarmRecord& record, const QJsonObject& object);
QJsonObject mailToJson(const MailResult& mail);
QJsonObject commandToJson(const CommandResult& command);

QJsonObject uploadToJson(const UploadResult& upload);
UploadResult uploadFromJson(const QJsonObject& object);

// The form of every time in the file: local time with its offset and milliseconds.
QString historyTimeText(const QDateTime& time);
QDateTime historyTimeFromText(const QString& text);
