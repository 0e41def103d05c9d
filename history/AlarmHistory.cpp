#include "history/AlarmHistory.h"

#include "history/HistoryLog.h"

#include <QDateTime>
#include <QJsonArray>

namespace {

// Lines kept for a disk that stays full: beyond them the oldest go.
constexpr int kMostPending = 10000;

}  // namespace

AlarmHistory::AlarmHistory(QString logPath) : logPath_(std::move(logPath)) {}

void AlarmHistory::hear(const WatchEvent& event)
{
    using Kind = WatchEvent::Kind;
    const QString name = historyPathOf(event.name);
    const QString& detail = event.detail;
    switch (event.kind) {
    case Kind::Alarm: {
        // One still open was cut short: its record stays interrupted.
        open_ = OpenAlarm{event.alarmTime, {}};
        AlarmRecord record;
        record.time = open_->time;
        record.count = event.count;
        record.alarmCount = event.alarmCount;
        record.interrupted = true;  // until its end is told
        append(alarmToJson(record));
        return;
    }
    case Kind::Snapshot:
        appendResult({{event.ok ? QStringLiteral("snapshots") : QStringLiteral("snapshotFailures"),
                       QJsonArray{event.ok ? name : detail}}});
        return;
    case Kind::MailSent:
        appendResult({{QStringLiteral("mails"), QJsonArray{mailToJson({event.name, event.ok, detail})}}});
        return;
    case Kind::ClipRecorded: {
        if (!open_)
            return;
        open_->clip = name;
        clips_.append({name, open_->time});
        QJsonObject clip{{QStringLiteral("clip"), name}, {QStringLiteral("clipRecorded"), event.ok}};
        if (!event.ok)
            clip.insert(QStringLiteral("clipFailure"), detail);
        appendResult(clip);
        return;
    }
    case Kind::Uploaded:
        hearUpload(event);
        return;
    case Kind::CommandEnded:
        // It may end long after its alarm, even during the next one.
        append(resultLine(event.alarmTime, {{QStringLiteral("commands"),
                                             QJsonArray{commandToJson({event.name, event.ok, detail})}}}));
        return;
    case Kind::AlarmOver:
        appendResult({{QStringLiteral("interrupted"), false}});
        open_.reset();
        return;
    case Kind::Stopped:
        open_.reset();
        return;
    case Kind::FileRemoved:
        append({{QStringLiteral("type"), QStringLiteral("removed")},
                {QStringLiteral("time"), historyTimeText(QDateTime::currentDateTime())},
                {QStringLiteral("file"), name}});
        return;
    case Kind::MaskUnusable:
        append({{QStringLiteral("type"), QStringLiteral("mask")},
                {QStringLiteral("time"), historyTimeText(QDateTime::currentDateTime())},
                {QStringLiteral("file"), name},
                {QStringLiteral("problem"), detail}});
        return;
    default:
        return;
    }
}

void AlarmHistory::hearUpload(const WatchEvent& event)
{
    const QString clip = historyPathOf(event.clip);
    QJsonObject line = uploadToJson({event.ok, event.name, event.detail});
    line.insert(QStringLiteral("type"), QStringLiteral("upload"));
    line.insert(QStringLiteral("clip"), clip);
    // An upload without a clip named belongs to the alarm under way.
    if (open_ && (clip.isEmpty() || clip == open_->clip))
        line.insert(QStringLiteral("alarm"), historyTimeText(open_->time));
    else
        for (const auto& [recordedClip, alarmTime] : clips_)
            if (recordedClip == clip)
                line.insert(QStringLiteral("alarm"), historyTimeText(alarmTime));
    append(line);
}

void AlarmHistory::appendResult(const QJsonObject& fields)
{
    // Results told outside an alarm (a manual snapshot) are not the history's.
    if (open_)
        append(resultLine(open_->time, fields));
}

void AlarmHistory::append(const QJsonObject& line)
{
    if (pending_.size() == kMostPending) {
        qWarning("history: the disk stays full, an old line is lost");
        pending_.removeFirst();
    }
    pending_.append(line);
    while (!pending_.isEmpty() && appendHistoryLine(logPath_, pending_.first()))
        pending_.removeFirst();
}
