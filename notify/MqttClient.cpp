#include "notify/MqttClient.h"

#include <QFileInfo>

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr int kQos = 1;
constexpr int kKeepAliveSeconds = 30;
constexpr int kLoopWaitMs = 500;
constexpr std::chrono::seconds kFirstDelay{1};
constexpr std::chrono::seconds kLongestDelay{60};
const char* const kSystemAuthorities = "/etc/ssl/certs";

struct Message {
    QString topic;
    QByteArray payload;
    bool retain = false;
};

QString errorText(int rc)
{
    QString text = QString::fromLocal8Bit(rc == MOSQ_ERR_ERRNO ? std::strerror(errno) : mosquitto_strerror(rc));
    if (text.endsWith(u'.'))
        text.chop(1);  // it goes inside a line of ours
    return text;
}

}  // namespace

// Shared with the thread, which may outlive the client when a connect hangs.
struct MqttClient::Link {
    MqttOptions options;
    Tell tell;
    Hear hear;
    QString where;  // "host port N", for the lines

    std::mutex mutex;
    std::condition_variable wake;
    mosquitto* mosq = nullptr;
    bool answered = false;   // the broker has said yes to this connection
    bool connected = false;  // and has had what waited: publishing goes straight out
    bool everConnected = false;  // this attempt reached the broker's yes
    bool stopping = false;
    bool ended = false;
    int goodbyeMid = -1;  // the last words while the broker has not confirmed them
    std::chrono::steady_clock::time_point stopBy{};
    QString refusal;  // the broker's answer when it refused the connection
    QString problem;  // the last problem told, so a broker that stays away is told once
    std::vector<Message> kept;
    std::deque<Message> waiting;

    void publishLocked(const Message& message)
    {
        const QByteArray topic = message.topic.toUtf8();
        if (!connected || mosquitto_publish(mosq, nullptr, topic.constData(), int(message.payload.size()),
                                            message.payload.constData(), kQos, message.retain) != MOSQ_ERR_SUCCESS)
            waitLocked(message);
    }

    void waitLocked(const Message& message)
    {
        if (std::find_if(kept.begin(), kept.end(), [&](const Message& m) { return m.topic == message.topic; }) !=
            kept.end())
            return;  // sent again at the next connection anyway
        if (int(waiting.size()) == kMostWaiting) {
            sayLocked(QStringLiteral("MQTT: the broker is away, the oldest of %1 waiting messages (%2) is dropped")
                          .arg(kMostWaiting)
                          .arg(waiting.front().topic));
            waiting.pop_front();
        }
        waiting.push_back(message);
    }

    // Nothing is told once stopping: whoever heard may be gone.
    void sayLocked(const QString& line)
    {
        if (!stopping)
            tell(line);
    }

    void tellProblem(const QString& line)
    {
        if (line != std::exchange(problem, line))
            sayLocked(line);
    }

    // The broker said yes: the rest waits until the loop has handed it what
    // libmosquitto sends again of its own (unconfirmed messages), which is older.
    void answeredNow()
    {
        std::lock_guard lock(mutex);
        if (stopping)
            return;
        answered = true;
        everConnected = true;
        refusal.clear();
        problem.clear();
        sayLocked(QStringLiteral("MQTT connected to %1").arg(where));
    }

    void catchUpLocked()
    {
        const QByteArray subscription = options.subscription.toUtf8();
        if (!subscription.isEmpty())
            mosquitto_subscribe(mosq, nullptr, subscription.constData(), kQos);
        connected = true;
        for (const Message& message : kept)
            publishLocked(message);
        std::deque<Message> earlier;
        earlier.swap(waiting);
        for (const Message& message : earlier)
            publishLocked(message);
    }

    void run()
    {
        auto delay = std::chrono::seconds(kFirstDelay);
        const QByteArray host = options.host.toUtf8();
        for (bool first = true;; first = false) {
            {
                std::lock_guard lock(mutex);
                if (stopping)
                    break;
                everConnected = false;
            }
            // Blocking, but only this thread: the caller goes on.
            int rc = first ? mosquitto_connect(mosq, host.constData(), options.port, kKeepAliveSeconds)
                           : mosquitto_reconnect(mosq);
            for (bool saidGoodbye = false; rc == MOSQ_ERR_SUCCESS;) {
                {
                    std::lock_guard lock(mutex);
                    if (stopping && std::chrono::steady_clock::now() > stopBy)
                        break;
                    // Once the last words are through, so the broker keeps the will to itself.
                    if (stopping && goodbyeMid < 0 && !std::exchange(saidGoodbye, true))
                        mosquitto_disconnect(mosq);
                }
                rc = mosquitto_loop(mosq, kLoopWaitMs, 1);
                std::lock_guard lock(mutex);
                if (rc == MOSQ_ERR_SUCCESS && answered && !connected && !stopping)
                    catchUpLocked();
            }
            std::unique_lock lock(mutex);
            connected = false;
            answered = false;
            if (stopping)
                break;
            if (everConnected)
                delay = kFirstDelay;
            const QString why = !refusal.isEmpty() ? refusal : errorText(rc);
            tellProblem(everConnected
                            ? QStringLiteral("MQTT connection to %1 lost: %2; connecting again").arg(where, why)
                            : QStringLiteral("MQTT cannot connect to %1: %2; trying again, at least once a minute")
                                  .arg(where, why));
            wake.wait_for(lock, delay, [this] { return stopping; });
            delay = std::min(delay * 2, std::chrono::seconds(kLongestDelay));
        }
        std::lock_guard lock(mutex);
        mosquitto_destroy(std::exchange(mosq, nullptr));
        ended = true;
        wake.notify_all();
    }
};

MqttClient::MqttClient(MqttOptions options, Tell tell, Hear hear) : link_(std::make_shared<Link>())
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { mosquitto_lib_init(); });
    link_->options = std::move(options);
    link_->tell = std::move(tell);
    link_->hear = std::move(hear);
    link_->where = QStringLiteral("%1 port %2").arg(link_->options.host).arg(link_->options.port);
}

MqttClient::~MqttClient()
{
    stop(std::chrono::seconds(1));
}

QString MqttClient::start()
{
    Link& link = *link_;
    const MqttOptions& options = link.options;
    const QByteArray id = options.clientId.toUtf8();
    mosquitto* mosq = mosquitto_new(id.constData(), true, &link);
    if (mosq == nullptr)
        return QStringLiteral("cannot make an MQTT client: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_threaded_set(mosq, true);
    int rc = MOSQ_ERR_SUCCESS;
    if (!options.user.isEmpty())
        rc = mosquitto_username_pw_set(mosq, options.user.toUtf8().constData(), options.password.toUtf8().constData());
    const QByteArray willTopic = options.willTopic.toUtf8();
    if (rc == MOSQ_ERR_SUCCESS && !willTopic.isEmpty())
        rc = mosquitto_will_set(mosq, willTopic.constData(), int(options.willPayload.size()),
                                options.willPayload.constData(), kQos, true);
    if (rc == MOSQ_ERR_SUCCESS && options.tls) {
        const QByteArray caFile = options.caFile.toLocal8Bit();
        if (!caFile.isEmpty() && !QFileInfo(options.caFile).isReadable()) {
            mosquitto_destroy(mosq);
            return QStringLiteral("the authorities' file %1 cannot be read").arg(options.caFile);
        }
        // The broker's certificate and name are checked: libmosquitto's default, kept.
        rc = mosquitto_tls_set(mosq, caFile.isEmpty() ? nullptr : caFile.constData(),
                               caFile.isEmpty() ? kSystemAuthorities : nullptr, nullptr, nullptr, nullptr);
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        mosquitto_destroy(mosq);
        return QStringLiteral("cannot set up the MQTT client: %1").arg(errorText(rc));
    }
    mosquitto_connect_callback_set(mosq, [](mosquitto*, void* data, int result) {
        auto* self = static_cast<Link*>(data);
        if (result == 0) {
            self->answeredNow();
            return;
        }
        std::lock_guard lock(self->mutex);
        self->refusal = QStringLiteral("refused: %1").arg(QString::fromLatin1(mosquitto_connack_string(result)));
    });
    mosquitto_disconnect_callback_set(mosq, [](mosquitto*, void* data, int) {
        auto* self = static_cast<Link*>(data);
        std::lock_guard lock(self->mutex);
        self->connected = false;
        self->answered = false;
    });
    mosquitto_publish_callback_set(mosq, [](mosquitto*, void* data, int mid) {
        auto* self = static_cast<Link*>(data);
        std::lock_guard lock(self->mutex);
        if (mid == self->goodbyeMid)
            self->goodbyeMid = -1;
    });
    mosquitto_message_callback_set(mosq, [](mosquitto*, void* data, const mosquitto_message* message) {
        auto* self = static_cast<Link*>(data);
        std::lock_guard lock(self->mutex);
        if (!self->stopping && self->hear)
            self->hear(QString::fromUtf8(message->topic),
                   QByteArray(static_cast<const char*>(message->payload), message->payloadlen), message->retain);
    });
    link.mosq = mosq;
    std::thread([link = link_] { link->run(); }).detach();
    return {};
}

void MqttClient::keep(const QString& topic, const QByteArray& payload)
{
    Link& link = *link_;
    std::lock_guard lock(link.mutex);
    if (link.stopping)
        return;
    const Message message{topic, payload, true};
    auto known = std::find_if(link.kept.begin(), link.kept.end(), [&](const Message& m) { return m.topic == topic; });
    if (known != link.kept.end())
        *known = message;
    else
        link.kept.push_back(message);
    if (link.connected)
        link.publishLocked(message);
}

void MqttClient::send(const QString& topic, const QByteArray& payload, bool retain)
{
    Link& link = *link_;
    std::lock_guard lock(link.mutex);
    if (!link.stopping && link.mosq != nullptr)
        link.publishLocked({topic, payload, retain});
}

void MqttClient::stop(std::chrono::milliseconds bound)
{
    Link& link = *link_;
    std::unique_lock lock(link.mutex);
    if (link.mosq == nullptr || link.stopping) {
        link.stopping = true;
        return;
    }
    link.stopping = true;
    link.stopBy = std::chrono::steady_clock::now() + bound;
    if (link.connected) {
        const QByteArray topic = link.options.willTopic.toUtf8();
        mosquitto_publish(link.mosq, &link.goodbyeMid, topic.constData(), int(link.options.willPayload.size()),
                          link.options.willPayload.constData(), kQos, true);
    }
    link.wake.notify_all();
    // The thread holds its own share of the link, so it may end later.
    link.wake.wait_for(lock, bound + std::chrono::milliseconds(kLoopWaitMs), [&link] { return link.ended; });
}
