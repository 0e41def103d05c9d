#include "history/AlarmHistory.h"

#include "history/HistoryLog.h"

#include <QDateTime>

namespace {

// Lines kept for a disk that stays full: beyond them the oldest go.
constexpr int kMostPending = 10000;

}  // namespace

AlarmHistory::AlarmHistory(QString logPath) : logPath_(std::move(logPath)) {}

AlarmHistory::~AlarmHistory()
{
    if (open_)
        closeAlarm(true);
}

void AlarmHistory::hear(const WatchEvent& event)
{
    using Kind = WatchEvent::Kind;
    const QString name = historyPathOf(event.name);
    const QString& detail = event.detail;
    switch (event.kind) {
    case Kind::Alarm:
        if (open_)
            closeAlarm(true);
        open_.emplace();
        open_->time = QDateTime::currentDateTime();
        open_->count = event.count;
        open_->alarmCount = event.alarmCount;
        return;
    case Kind::Snapshot:
        if (open_)
            (event.ok ? open_->snapshots : open_->snapshotFailures).append(event.ok ? name : detail);
        return;
    case Kind::MailSent:
        if (open_)
            open_->mails.append({event.name, event.ok, detail});
        return;
    case Kind::ClipRecorded:
        if (open_) {
            open_->clip = name;
            open_->clipRecorded = event.ok;
            open_->clipFailure = event.ok ? QString() : detail;
            clips_.append({name, open_->time});
        }
        return;
    case Kind::Uploaded:
        hearUpload(event);
        return;
    case Kind::AlarmOver:
        if (open_)
            closeAlarm(false);
        return;
    case Kind::Stopped:
        if (open_)
            closeAlarm(true);
        return;
    case Kind::FileRemoved:
        append({{QStringLiteral("type"), QStringLiteral("removed")},
                {QStringLiteral("time"), historyTimeText(QDateTime::currentDateTime())},
                {QStringLiteral("file"), name}});
        return;
    default:
        return;
    }
}

void AlarmHistory::hearUpload(const WatchEvent& event)
{
    const QString clip = historyPathOf(event.clip);
    const UploadResult upload{event.ok, event.name, event.detail};
    // An upload without a clip named belongs to the alarm under way.
    if (open_ && (clip.isEmpty() || clip == open_->clip)) {
        open_->upload = upload;
        return;
    }
    QJsonObject line = uploadToJson(upload);
    line.insert(QStringLiteral("type"), QStringLiteral("upload"));
    line.insert(QStringLiteral("clip"), clip);
    for (const auto& [recordedClip, alarmTime] : clips_)
        if (recordedClip == clip)
            line.insert(QStringLiteral("alarm"), historyTimeText(alarmTime));
    append(line);
}

void AlarmHistory::closeAlarm(bool interrupted)
{
    open_->interrupted = interrupted;
    append(alarmToJson(*open_));
    open_.reset();
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
