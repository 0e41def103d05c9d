#pragma once

#include "settings/WatchEvent.h"

#include <QDBusConnection>
#include <QObject>
#include <QSet>
#include <QString>

#include <optional>

class WatchEvents;

// NOTIFY: one desktop notification per alarm through the desktop's
// notification service (org.freedesktop.Notifications on the session bus),
// showing the alarm's snapshot; clicking it asks for the alarm history. It
// observes the watch events and reads NOTIFY at every alarm; the session bus
// is first reached at the first alarm to notify. Every call is asynchronous
// and bounded, so a desktop without the service, or a slow one, never holds
// watching up: a failed call is one line on standard error. Must go before
// the events it observes.
class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifications(WatchEvents& events, QObject* parent = nullptr);
    ~DesktopNotifications() override;

signals:
    // A notification of ours was clicked.
    void historyRequested();

private slots:
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

private:
    void hear(const WatchEvent& event);
    // Sends the raised alarm's notification, with its snapshot when there is one.
    void notify(const QString& snapshot);
    QDBusConnection& bus();

    WatchEvents& events_;
    std::optional<QDBusConnection> bus_;
    int listener_ = 0;
    std::optional<WatchEvent> alarm_;  // raised and not yet notified
    QSet<uint> shown_;                 // our notifications still on the desktop
};
