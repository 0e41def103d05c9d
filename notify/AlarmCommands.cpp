#include "notify/AlarmCommands.h"

#include "history/AlarmRecord.h"
#include "notify/AlarmCommand.h"
#include "notify/ShellWords.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"

#include <QProcessEnvironment>

std::chrono::milliseconds AlarmCommandTimeLimit = std::chrono::seconds(60);

AlarmCommands::AlarmCommands(WatchTeller tell, QObject* parent) : QObject(parent), tell_(std::move(tell)) {}

AlarmCommands::~AlarmCommands()
{
    // Whoever heard them is going too: the groups end untold.
    tell_ = nullptr;
    endAll();
}

void AlarmCommands::hear(const WatchEvent& event)
{
    using Kind = WatchEvent::Kind;
    switch (event.kind) {
    case Kind::Alarm:
        alarm_ = Alarm{.time = event.alarmTime, .count = event.count, .alarmCount = event.alarmCount};
        return;
    case Kind::Snapshot:
        if (alarm_ && event.ok && alarm_->snapshot.isEmpty())
            alarm_->snapshot = event.name;
        startOnAlarm();
        return;
    case Kind::MailSent:
    case Kind::Uploaded:
        startOnAlarm();
        return;
    case Kind::ClipRecorded:
        startOnAlarm();
        if (alarm_ && event.ok)
            alarm_->clip = event.name;
        return;
    case Kind::AlarmOver:
        startOnAlarm();
        if (alarm_)
            run(QStringLiteral("ONALARMOVER"), Settings.EXT.ONALARMOVER);
        alarm_.reset();
        return;
    case Kind::Stopped:
        alarm_.reset();
        endAll();
        return;
    default:
        return;
    }
}

void AlarmCommands::startOnAlarm()
{
    if (!alarm_ || std::exchange(alarm_->started, true))
        return;
    run(QStringLiteral("ONALARM"), Settings.EXT.ONALARM);
}

void AlarmCommands::run(const QString& setting, const QString& commandLine)
{
    if (commandLine.trimmed().isEmpty())
        return;
    const QDateTime time = alarm_->time;
    QString error;
    const QStringList words = splitShellWords(commandLine, &error);
    if (words.isEmpty()) {
        tellEnd(setting, time, false, QStringLiteral("not run: %1").arg(error));
        return;
    }
    if (running_ >= kMostAlarmCommands) {
        tellEnd(setting, time, false, QStringLiteral("not run: %1 alarm commands still run").arg(running_));
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOUNDLY_COUNT"), QString::number(alarm_->count));
    environment.insert(QStringLiteral("HOUNDLY_ALARM_COUNT"), QString::number(alarm_->alarmCount));
    environment.insert(QStringLiteral("HOUNDLY_TIME"), historyTimeText(time));
    environment.insert(QStringLiteral("HOUNDLY_SNAPSHOT"), alarm_->snapshot);
    environment.insert(QStringLiteral("HOUNDLY_CLIP"), alarm_->clip);
    ++running_;
    new AlarmCommand(words, environment, appFolder(), AlarmCommandTimeLimit,
                     [this, setting, time](bool ok, const QString& detail) {
                         --running_;
                         if (tell_)
                                 tell_({.kind = WatchEvent::Kind::CommandEnded, .ok = ok, .name = setting,
                                    .detail = detail, .alarmTime = time});
                     },
                     this);
}

void AlarmCommands::tellEnd(const QString& setting, const QDateTime& alarm, bool ok, const QString& detail)
{
    // Like a command's own end, heard after the step that would have started it.
    QMetaObject::invokeMethod(
        this,
        [this, setting, alarm, ok, detail] {
            tell_({.kind = WatchEvent::Kind::CommandEnded, .ok = ok, .name = setting, .detail = detail,
                   .alarmTime = alarm});
        },
        Qt::QueuedConnection);
}

void AlarmCommands::endAll()
{
    for (AlarmCommand* command : findChildren<AlarmCommand*>(Qt::FindDirectChildrenOnly))
        command->end(QStringLiteral("ended as watching stopped"));
}
