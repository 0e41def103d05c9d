#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>

// Where and how to reach the broker.
struct MqttOptions {
    QString host;
    int port = 1883;
    bool tls = false;
    QString caFile;  // "" = the system's authorities
    QString user;    // "" = no account
    QString password;
    QString clientId;
    QString willTopic;  // the will's payload is published there, retained
    QByteArray willPayload;
    QString subscription;  // the topic whose messages `Hear` gets
};

// One connection to an MQTT broker on a thread of its own, so a broker that
// is down or slow never holds up the caller: connected again whenever it is
// lost, after 1 s, then twice as long each time up to a minute. Everything is
// published with QoS 1. `Tell` (a line for the log, never holding the
// password) and `Hear` come from that thread, and from the caller's, and
// never once stop() has begun.
class MqttClient {
public:
    using Tell = std::function<void(const QString& line)>;
    using Hear = std::function<void(const QString& topic, const QByteArray& payload, bool retained)>;
    // Messages that wait while the broker is away; one more drops the oldest.
    static constexpr int kMostWaiting = 50;

    MqttClient(MqttOptions options, Tell tell, Hear hear);
    // Stops within a second.
    ~MqttClient();
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Starts connecting; why it cannot (the TLS authorities), "" when it does.
    QString start();
    // A retained value: only its latest waits while away, and every
    // connection publishes it again (a broker may have restarted empty).
    void keep(const QString& topic, const QByteArray& payload);
    // A message of the moment, waiting while away among the last kMostWaiting.
    void send(const QString& topic, const QByteArray& payload, bool retain);
    // Publishes the will's payload itself (the end is a clean one) and
    // disconnects, waiting at most `bound`; a thread still stuck in a connect
    // is left to end by itself.
    void stop(std::chrono::milliseconds bound);

private:
    struct Link;
    std::shared_ptr<Link> link_;
};
