#include "notify/DesktopNotifications.h"

#include "settings/Settings.h"
#include "watch/WatchEvents.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QUrl>
#include <QVariantMap>

#include <cstdio>
#include <utility>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDesktopEntry = QStringLiteral("org.tarnwell.houndly");
const QString kDefaultAction = QStringLiteral("default");
// A service that has not answered by then is given up for this alarm.
constexpr int kCallTimeoutMs = 10000;
// More of ours than this still shown are forgotten: a click on one of them does nothing.
constexpr qsizetype kMostShown = 100;

}  // namespace

DesktopNotifications::DesktopNotifications(WatchEvents& events, QObject* parent) : QObject(parent), events_(events)
{
    listener_ = events_.add([this](const WatchEvent& event) { hear(event); });
}

DesktopNotifications::~DesktopNotifications()
{
    events_.remove(listener_);
}

void DesktopNotifications::hear(const WatchEvent& event)
{
    using Kind = WatchEvent::Kind;
    switch (event.kind) {
    case Kind::Alarm:
        if (alarm_)
            notify({});
        if (Settings.EXT.NOTIFY)
            alarm_ = event;
        return;
    case Kind::Snapshot:
        if (alarm_)
            notify(event.ok ? event.name : QString());
        return;
    case Kind::MailSent:
    case Kind::ClipRecorded:
    case Kind::Uploaded:
    case Kind::AlarmOver:
        // An alarm whose snapshot was never told is notified at its next step.
        if (alarm_)
            notify({});
        return;
    case Kind::Stopped:
        alarm_.reset();
        return;
    default:
        return;
    }
}

QDBusConnection& DesktopNotifications::bus()
{
    if (!bus_) {
        bus_ = QDBusConnection::sessionBus();
        bus_->connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                      SLOT(actionInvoked(uint, QString)));
        bus_->connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                      SLOT(notificationClosed(uint, uint)));
    }
    return *bus_;
}

void DesktopNotifications::notify(const QString& snapshot)
{
    const WatchEvent alarm = *std::exchange(alarm_, std::nullopt);
    QVariantMap hints{{QStringLiteral("desktop-entry"), kDesktopEntry}};
    if (!snapshot.isEmpty())
        hints.insert(QStringLiteral("image-path"), QUrl::fromLocalFile(snapshot).toString());
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Houndly") << 0u << kDesktopEntry << tr("Houndly: 警報")
         << tr("%1 に動きがありました (%2 回目の警報)")
                .arg(alarm.alarmTime.toString(QStringLiteral("HH:mm:ss")))
                .arg(alarm.alarmCount)
         << QStringList{kDefaultAction, tr("警報履歴を開く")} << hints << -1;
    auto* pending = new QDBusPendingCallWatcher(bus().asyncCall(call, kCallTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* answered) {
        answered->deleteLater();
        const QDBusPendingReply<uint> reply = *answered;
        if (reply.isError()) {
            std::fprintf(stderr, "houndly: no desktop notification: %s\n", qPrintable(reply.error().message()));
            return;
        }
        if (shown_.size() >= kMostShown)
            shown_.clear();
        shown_.insert(reply.value());
    });
}

void DesktopNotifications::actionInvoked(uint id, const QString& action)
{
    if (action == kDefaultAction && shown_.contains(id))
        emit historyRequested();
}

void DesktopNotifications::notificationClosed(uint id, uint)
{
    shown_.remove(id);
}
