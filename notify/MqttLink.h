#pragma once

#include "notify/MqttAlarm.h"
#include "notify/MqttSetup.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class MqttClient;
class Watcher;

// Watching as MQTT topics under the prefix of the settings: availability
// "online"/"offline" (retained, "offline" also the will), state "watching",
// "stopped" or "alarm" (retained); alarm, the latest alarm's JSON (MqttAlarm),
// again at each of its results (retained); snapshot, the JPEG of the alarm's
// first snapshot (retained); Home Assistant's discovery configs (HomeAssistant.h);
// set/watch "ON" or "OFF" asks for watching
// on or off (a retained command is an old one and is not obeyed). It observes
// the watcher as the windows do; the broker is served on a thread of its own,
// so it never holds the watcher up. Lives on the watcher's thread.
class MqttLink : public QObject {
    Q_OBJECT
public:
    explicit MqttLink(Watcher& watcher, QObject* parent = nullptr);
    ~MqttLink() override;

    // Connects as the settings ask ([EXT] MQTT and after), again when called
    // again; returns what to tell the user: the broker and the topics, or why
    // not; "" while MQTT is "".
    QString start();
    // Publishes "offline" and disconnects, within a second.
    void stop();

signals:
    // The switch's topic; the owner of watching decides (a busy window may not).
    void watchRequested(bool watch);
    // A line for the log: connections, losses, dropped messages.
    void told(const QString& line);

private:
    void observeWatcher();
    void hear(const QString& topic, const QByteArray& payload);
    void publishState();
    void sendSnapshot(const QString& path);
    QString topic(const char* name) const;

    Watcher& watcher_;
    std::unique_ptr<MqttClient> client_;
    MqttSetup setup_;
    int listener_ = 0;
    MqttAlarm alarm_;
    bool alarmRunning_ = false;  // from an alarm until its end
    bool snapshotSent_ = false;  // the alarm's picture has gone
    bool stopped_ = false;  // watching has ended for good
    QByteArray state_;      // as last published
};
