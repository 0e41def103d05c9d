#include "notify/MqttLink.h"

#include "notify/HomeAssistant.h"
#include "notify/MqttClient.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"
#include "watch/Watcher.h"

#include <QFile>

namespace {

constexpr std::chrono::seconds kStopBound{1};

}  // namespace

MqttLink::MqttLink(Watcher& watcher, QObject* parent) : QObject(parent), watcher_(watcher)
{
    observeWatcher();
}

MqttLink::~MqttLink()
{
    stop();
    watcher_.events().remove(listener_);
}

QString MqttLink::start()
{
    stop();
    QString why;
    std::optional<MqttSetup> setup = mqttSetupOf(Settings.EXT, appFolder(), why);
    if (!setup)
        return why.isEmpty() ? QString() : QStringLiteral("MQTT off: %1").arg(why);
    setup_ = *std::move(setup);
    state_.clear();
    // Both come from the client's thread: they are handed over to this one.
    auto onLine = [this](const QString& line) {
        QMetaObject::invokeMethod(this, [this, line] { emit told(line); }, Qt::QueuedConnection);
    };
    auto onMessage = [this](const QString& topic, const QByteArray& payload, bool retained) {
        if (!retained)
            QMetaObject::invokeMethod(this, [this, topic, payload] { hear(topic, payload); }, Qt::QueuedConnection);
    };
    client_ = std::make_unique<MqttClient>(setup_.options, onLine, onMessage);
    client_->keep(topic("availability"), "online");
    for (const auto& [configTopic, config] : homeAssistantConfigs(setup_.prefix, setup_.node))
        client_->keep(configTopic, config);
    publishState();
    if (const QString failure = client_->start(); !failure.isEmpty()) {
        client_.reset();
        return QStringLiteral("MQTT off: %1").arg(failure);
    }
    const MqttOptions& options = setup_.options;
    return QStringLiteral("MQTT to %1 port %2%3 under %4/")
        .arg(options.host)
        .arg(options.port)
        .arg(options.tls ? QStringLiteral(" with TLS") : QString(), setup_.prefix);
}

void MqttLink::stop()
{
    if (client_ != nullptr)
        client_->stop(kStopBound);
    client_.reset();
}

QString MqttLink::topic(const char* name) const
{
    return setup_.prefix + u'/' + QLatin1String(name);
}

void MqttLink::observeWatcher()
{
    connect(&watcher_, &Watcher::watchingChanged, this, &MqttLink::publishState);
    listener_ = watcher_.events().add([this](const WatchEvent& event) {
        using Kind = WatchEvent::Kind;
        if (client_ == nullptr)
            return;
        if (alarm_.hear(event))
            client_->send(topic("alarm"), alarm_.json(), true);
        switch (event.kind) {
        case Kind::Alarm:
            alarmRunning_ = true;
            snapshotSent_ = false;
            publishState();
            return;
        case Kind::Snapshot:
            if (event.ok && alarmRunning_ && !std::exchange(snapshotSent_, true))
                sendSnapshot(event.name);
            return;
        case Kind::AlarmOver:
            alarmRunning_ = false;
            publishState();
            return;
        case Kind::Stopped:
            alarmRunning_ = false;
            stopped_ = true;
            publishState();
            return;
        default:
            return;
        }
    });
}

void MqttLink::sendSnapshot(const QString& path)
{
    QFile file(path);
    // A few dozen kilobytes from the local disk, the alarm's own picture.
    if (!file.open(QIODevice::ReadOnly)) {
        emit told(QStringLiteral("MQTT: snapshot %1 not sent: %2").arg(path, file.errorString()));
        return;
    }
    client_->send(topic("snapshot"), file.readAll(), true);
}

void MqttLink::publishState()
{
    if (client_ == nullptr)
        return;
    const QByteArray state = stopped_ || !watcher_.isWatching() ? "stopped" : alarmRunning_ ? "alarm" : "watching";
    if (state != std::exchange(state_, state))
        client_->keep(topic("state"), state);
}

void MqttLink::hear(const QString& topic, const QByteArray& payload)
{
    if (topic != setup_.options.subscription)
        return;
    const QByteArray word = payload.trimmed().toUpper();
    if (word == "ON" || word == "OFF")
        emit watchRequested(word == "ON");
    else
        emit told(QStringLiteral("MQTT: %1 takes ON or OFF, not %2").arg(topic, QString::fromUtf8(payload.left(40))));
}
