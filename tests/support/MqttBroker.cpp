#include "tests/support/MqttBroker.h"

#include "tests/support/LoopbackServers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <mosquitto.h>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

}  // namespace

MqttBroker::MqttBroker(int lifetimeSeconds, const QString& certificate, const QString& key)
    : port_(closedLoopbackPort()), lifetime_(lifetimeSeconds)
{
    const QString passwords = folder_.filePath(QStringLiteral("passwords"));
    if (QProcess::execute(QStringLiteral("mosquitto_passwd"), {"-c", "-b", passwords, kUser, kPassword}) != 0)
        ADD_FAILURE() << "mosquitto_passwd failed";
    QFile config(folder_.filePath(QStringLiteral("mosquitto.conf")));
    if (!config.open(QIODevice::WriteOnly))
        ADD_FAILURE() << "cannot write the broker's configuration";
    // Started by root, the broker would become the user mosquitto, who cannot read the folder.
    const passwd* user = ::getpwuid(::getuid());
    config.write(QStringLiteral("listener %1 127.0.0.1\nallow_anonymous false\npassword_file %2\nuser %3\n"
                                "persistence false\nlog_dest stderr\nlog_type error\n")
                     .arg(port_)
                     .arg(passwords, QString::fromLocal8Bit(user != nullptr ? user->pw_name : "root"))
                     .toUtf8());
    if (!certificate.isEmpty())
        config.write(QStringLiteral("certfile %1\nkeyfile %2\n").arg(certificate, key).toUtf8());
    config.close();
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!start())
        ADD_FAILURE() << "mosquitto does not listen on port " << port_;
}

MqttBroker::~MqttBroker()
{
    stop();
}

bool MqttBroker::start()
{
    process_.start(QStringLiteral("timeout"), {"-s", "KILL", QString::number(lifetime_), "/usr/sbin/mosquitto", "-c",
                                                folder_.filePath(QStringLiteral("mosquitto.conf"))});
    const QDeadlineTimer deadline(15000);
    while (!accepts(port_)) {
        if (deadline.hasExpired() || process_.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(20);
    }
    return true;
}

void MqttBroker::freeze(bool frozen)
{
    // The broker is the one child of timeout.
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(process_.processId()));
    const int broker = children.open(QIODevice::ReadOnly) ? children.readAll().trimmed().toInt() : 0;
    if (broker <= 0 || ::kill(broker, frozen ? SIGSTOP : SIGCONT) != 0)
        ADD_FAILURE() << "cannot " << (frozen ? "freeze" : "thaw") << " the broker";
}

void MqttBroker::stop()
{
    // timeout hands SIGTERM to the broker; SIGKILL would end timeout alone.
    process_.terminate();
    if (!process_.waitForFinished(5000))
        process_.kill();
    process_.waitForFinished(1000);
}

MqttRecorder::MqttRecorder(int port, const QString& authority)
{
    mosquitto_lib_init();
    mosq_ = mosquitto_new(nullptr, true, this);
    if (!authority.isEmpty() &&
        mosquitto_tls_set(mosq_, authority.toLocal8Bit().constData(), nullptr, nullptr, nullptr, nullptr) != MOSQ_ERR_SUCCESS)
        ADD_FAILURE() << "the recorder cannot use the authority " << authority.toStdString();
    mosquitto_username_pw_set(mosq_, MqttBroker::kUser.toUtf8().constData(), MqttBroker::kPassword.toUtf8().constData());
    mosquitto_connect_callback_set(mosq_, [](mosquitto* mosq, void*, int rc) {
        if (rc == 0)
            mosquitto_subscribe(mosq, nullptr, "#", 1);
    });
    mosquitto_message_callback_set(mosq_, [](mosquitto*, void* data, const mosquitto_message* message) {
        auto* self = static_cast<MqttRecorder*>(data);
        std::lock_guard lock(self->mutex_);
        self->messages_.append({QString::fromUtf8(message->topic),
                                QByteArray(static_cast<const char*>(message->payload), message->payloadlen),
                                message->retain, message->qos});
    });
    if (mosquitto_connect(mosq_, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS || mosquitto_loop_start(mosq_) != MOSQ_ERR_SUCCESS)
        ADD_FAILURE() << "the recorder cannot reach the broker on port " << port;
}

MqttRecorder::~MqttRecorder()
{
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, false);
    mosquitto_destroy(mosq_);
}

QList<MqttMessage> MqttRecorder::messages(const QString& topic) const
{
    std::lock_guard lock(mutex_);
    QList<MqttMessage> found;
    for (const MqttMessage& message : messages_)
        if (topic.isEmpty() || message.topic == topic)
            found.append(message);
    return found;
}

bool MqttRecorder::waitFor(const QString& topic, const QByteArray& payload, int ms) const
{
    const QDeadlineTimer deadline(ms);
    for (;;) {
        for (const MqttMessage& message : messages(topic))
            if (payload.isNull() || message.payload == payload)
                return true;
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(20);
    }
}

void MqttRecorder::publish(const QString& topic, const QByteArray& payload, bool retain)
{
    const QByteArray name = topic.toUtf8();
    if (mosquitto_publish(mosq_, nullptr, name.constData(), int(payload.size()), payload.constData(), 1, retain) !=
        MOSQ_ERR_SUCCESS)
        ADD_FAILURE() << "cannot publish on " << name.constData();
}
