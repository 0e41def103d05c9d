#pragma once

// A real mosquitto broker on 127.0.0.1 for tests, with a configuration file of
// its own: a free port, an account (kUser/kPassword, no anonymous clients),
// nothing persisted, so a restart forgets every retained message. It ends by
// itself after its lifetime and is killed with its object.
//
//   MqttBroker broker;  MqttRecorder hub(broker.port());  hub.waitFor("a/b", "on");
//   broker.stop(); broker.start();  // the same port again
//   broker.freeze(true);            // connected, but silent

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <mutex>

struct mosquitto;

class MqttBroker {
public:
    static inline const QString kUser = QStringLiteral("hub");
    static inline const QString kPassword = QStringLiteral("wag tail 7");

    // With a certificate and key (makeCertificate), it speaks TLS only.
    explicit MqttBroker(int lifetimeSeconds = 120, const QString& certificate = {}, const QString& key = {});
    ~MqttBroker();
    int port() const { return port_; }
    // True once it accepts connections.
    bool start();
    void stop();
    // A frozen broker holds its connections open and answers nothing: a slow one.
    void freeze(bool frozen);

private:
    QTemporaryDir folder_;
    QProcess process_;
    int port_ = 0;
    int lifetime_;
};

struct MqttMessage {
    QString topic;
    QByteArray payload;
    bool retained = false;
    int qos = 0;  // as delivered to a subscription of QoS 1
};

// A client of the broker's account (libmosquitto on its own thread) that
// hears every topic and keeps what it heard.
class MqttRecorder {
public:
    // TLS when the authority (a certificate file) is given.
    explicit MqttRecorder(int port, const QString& authority = {});
    ~MqttRecorder();
    // What came on `topic` ("" for all), in order.
    QList<MqttMessage> messages(const QString& topic = {}) const;
    // Serves the event loop until a message with `payload` came on `topic`
    // (any payload when null), within `ms`; false when none did.
    bool waitFor(const QString& topic, const QByteArray& payload = {}, int ms = 30000) const;
    void publish(const QString& topic, const QByteArray& payload, bool retain = false);

private:
    mosquitto* mosq_ = nullptr;
    mutable std::mutex mutex_;
    QList<MqttMessage> messages_;
};
