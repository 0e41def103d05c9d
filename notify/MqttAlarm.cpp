#include "notify/MqttAlarm.h"

#include "history/HistoryLog.h"

#include <QJsonDocument>

bool MqttAlarm::hear(const WatchEvent& event)
{
    using Kind = WatchEvent::Kind;
    if (event.kind == Kind::Alarm) {
        record_.emplace();
        record_->time = event.alarmTime;
        record_->count = event.count;
        record_->alarmCount = event.alarmCount;
        over_ = false;
        return true;
    }
    if (!record_)
        return false;
    AlarmRecord& record = *record_;
    switch (event.kind) {
    case Kind::Snapshot:
        // A manual snapshot outside the alarm is not its.
        if (over_)
            return false;
        (event.ok ? record.snapshots : record.snapshotFailures).append(event.ok ? historyPathOf(event.name) : event.detail);
        return true;
    case Kind::MailSent:
        if (over_)
            return false;
        record.mails.append({event.name, event.ok, event.detail});
        return true;
    case Kind::ClipRecorded:
        if (over_)
            return false;
        record.clip = historyPathOf(event.name);
        record.clipRecorded = event.ok;
        record.clipFailure = event.ok ? QString() : event.detail;
        return true;
    case Kind::Uploaded:
        if (event.clip.isEmpty() ? over_ : historyPathOf(event.clip) != record.clip)
            return false;
        record.upload = UploadResult{event.ok, event.name, event.detail};
        return true;
    case Kind::CommandEnded:
        if (event.alarmTime != record.time)
            return false;
        record.commands.append({event.name, event.ok, event.detail});
        return true;
    case Kind::AlarmOver:
        over_ = true;
        return true;
    default:
        return false;
    }
}

QByteArray MqttAlarm::json() const
{
    if (!record_)
        return {};
    QJsonObject object = alarmToJson(*record_);
    object.remove(QStringLiteral("type"));
    object.remove(QStringLiteral("interrupted"));
    object.insert(QStringLiteral("over"), over_);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
