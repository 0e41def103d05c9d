#include "watch/WatchLog.h"

#include "mail/MailAccount.h"
#include "settings/Settings.h"

#include <QDateTime>

#include <algorithm>

namespace {

const QString kTrue = QStringLiteral("True");

QString orReason(const QString& subject, const WatchEvent& event)
{
    return event.ok ? subject : QStringLiteral("%1 failed: %2").arg(subject, event.detail);
}

// What the watcher will do, read from the settings it started with; `mask`: the words on its mask.
QString startedSummary(const QString& mask)
{
    const SettingsRecord& s = Settings;
    QStringList parts;
    parts << QStringLiteral("alarm count %1").arg(s.COM.CKSUM)
          << QStringLiteral("every %1 s").arg(s.COM.TIMER / 10.0);
    if (!s.COM.SoundPath.isEmpty())
        parts << QStringLiteral("sound %1").arg(s.COM.SoundPath);
    else if (!s.COM.SOUND.isEmpty())
        parts << QStringLiteral("sound %1 not found").arg(s.COM.SOUND);
    else
        parts << QStringLiteral("no sound");
    const auto destinations = std::count_if(s.TRG.begin(), s.TRG.end(),
                                            [](const MailTrigger& trigger) { return trigger.ENABLED == kTrue; });
    if (!MailReady())
        parts << QStringLiteral("mail account not set");
    else
        parts << QStringLiteral("mail to %1 destinations").arg(destinations);
    if (s.FTP.MOVE != kTrue)
        parts << QStringLiteral("no recording");
    else
        parts << QStringLiteral("recording %1 s%2").arg(s.FTP.TIME).arg(s.FTP.FTP == kTrue ? QStringLiteral(" and upload")
                                                                                       : QString());
    if (!mask.isEmpty())
        parts << mask;
    return parts.join(QStringLiteral(", "));
}

QString eventText(const WatchEvent& event)
{
    using Kind = WatchEvent::Kind;
    switch (event.kind) {
    case Kind::Started:
        return QStringLiteral("started: camera %1; %2").arg(event.name, startedSummary(event.detail));
    case Kind::CameraLost:
        return QStringLiteral("camera lost: %1").arg(event.name);
    case Kind::CameraBack:
        return QStringLiteral("camera back: %1").arg(event.name);
    case Kind::Alarm:
        return QStringLiteral("alarm: count %1 over %2").arg(event.count).arg(event.alarmCount);
    case Kind::Snapshot:
        return orReason(QStringLiteral("snapshot %1").arg(event.name), event);
    case Kind::MailSent:
        return event.ok ? QStringLiteral("mail %1 sent to %2").arg(event.name, event.detail)
                        : QStringLiteral("mail %1 failed: %2").arg(event.name, event.detail);
    case Kind::ClipRecorded:
        return orReason(QStringLiteral("clip %1").arg(event.name), event);
    case Kind::Uploaded:
        return orReason(QStringLiteral("upload %1").arg(event.name), event);
    case Kind::AlarmOver:
        return QStringLiteral("alarm over");
    case Kind::AlarmDropped:
        return QStringLiteral("alarm dropped: count %1 over %2, too many alarms waiting").arg(event.count).arg(event.alarmCount);
    case Kind::FileRemoved:
        return QStringLiteral("removed %1").arg(event.name);
    case Kind::MaskUnusable:
        return QStringLiteral("mask %1 not used: %2").arg(event.name, event.detail);
    case Kind::Stopped:
        return event.ok ? QStringLiteral("stopped") : QStringLiteral("stopped: %1").arg(event.detail);
    case Kind::CommandEnded:
        return event.ok ? QStringLiteral("%1: %2").arg(event.name, event.detail)
                        : QStringLiteral("%1 failed: %2").arg(event.name, event.detail);
    }
    return QStringLiteral("event %1").arg(static_cast<int>(event.kind));
}

}  // namespace

QString watchEventLine(const WatchEvent& event)
{
    return eventText(event);
}

QString messageLine(MessageKind kind, const QString& text)
{
    const QString name = kind == MessageKind::Error     ? QStringLiteral("error")
                         : kind == MessageKind::Warning ? QStringLiteral("warning")
                                                        : QStringLiteral("message");
    // A message box may break its text over lines; the log keeps one line per message.
    return QStringLiteral("%1: %2").arg(name, QString(text).replace(u'\n', u' '));
}

WatchLog::WatchLog(std::FILE* stream, WatchEvents& events)
    : stream_(stream),
      stamped_(qEnvironmentVariableIsEmpty("JOURNAL_STREAM")),
      events_(events),
      listener_(events.add([this](const WatchEvent& event) { write(watchEventLine(event)); }))
{
}

WatchLog::~WatchLog()
{
    events_.remove(listener_);
}

void WatchLog::write(const QString& line)
{
    const QString stamp =
        stamped_ ? QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) : QString();
    std::fputs((stamp + line + u'\n').toUtf8().constData(), stream_);
    std::fflush(stream_);
}
