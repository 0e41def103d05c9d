// MQTT against a real mosquitto broker on loopback, with an account: the
// headless program as its own process (its topics, the switch, the will after
// a kill), and the watcher in this process while the broker freezes, goes
// away and comes back.
#include "notify/MqttLink.h"

#include "capture/DemoDriver.h"
#include "capture/DriverRegistry.h"
#include "settings/Settings.h"
#include "tests/support/MqttBroker.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"
#include "watch/Watcher.h"

#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <atomic>

namespace {

constexpr int64_t kCalm = 1000, kIntruder = 28000;  // the demo scene's times

// Serves the event loop until `done` holds, at most `ms`.
bool serveUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void serve(int ms)
{
    serveUntil([] { return false; }, ms);
}

// houndly.ini for the broker, written as the program writes it (the password shifted).
void setUpMqtt(const MqttBroker& broker, const QString& brokerText)
{
    ASSERT_TRUE(sLoadSettings());
    Settings.COM.CKSUM = 10;
    Settings.EXT.MQTT = brokerText.arg(broker.port());
    Settings.EXT.MQTTUSER = MqttBroker::kUser;
    Settings.EXT.MQTTPASS = MqttBroker::kPassword;
    Settings.EXT.MQTTTOPIC = QStringLiteral("home/yard/");
    ASSERT_TRUE(sSaveSettings());
}

}  // namespace

// The program's topics come retained, to a client that arrives late too; a
// published "OFF" stops watching, a retained one left on the broker does
// nothing; killed, the broker tells its will.
TEST(MqttTest, TheHeadlessProgramPublishesItsStateObeysTheSwitchAndItsWillSaysOfflineAfterAKill)
{
    testApplication();
    TempAppFolder home;
    MqttBroker broker;
    setUpMqtt(broker, QStringLiteral("127.0.0.1:%1"));
    MqttRecorder early(broker.port());
    // A stale command from long ago, retained: obeyed, watching would stop at once.
    early.publish(QStringLiteral("home/yard/set/watch"), "OFF", true);

    QProcess houndly;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "HOUNDLY_CAMERA"})
        environment.remove(QString::fromLatin1(variable));
    environment.insert(QStringLiteral("HOUNDLY_DEMO_PERIOD"), QStringLiteral("600"));
    houndly.setProcessEnvironment(environment);
    houndly.setProcessChannelMode(QProcess::MergedChannels);
    houndly.start(QStringLiteral(HOUNDLY_EXECUTABLE), {"--headless", "--camera", "demo"});
    ASSERT_TRUE(early.waitFor(QStringLiteral("home/yard/availability"), "online"));
    ASSERT_TRUE(early.waitFor(QStringLiteral("home/yard/state"), "watching"));

    MqttRecorder late(broker.port());
    ASSERT_TRUE(late.waitFor(QStringLiteral("home/yard/state"), "watching"));
    for (const char* name : {"availability", "state"}) {
        const QList<MqttMessage> kept = late.messages(QStringLiteral("home/yard/") + QLatin1String(name));
        ASSERT_FALSE(kept.isEmpty()) << name;
        EXPECT_TRUE(kept.first().retained) << name;
    }

    serve(500);
    for (const MqttMessage& state : early.messages(QStringLiteral("home/yard/state")))
        EXPECT_EQ(state.payload, "watching") << "the retained command was obeyed";
    late.publish(QStringLiteral("home/yard/set/watch"), "OFF");
    EXPECT_TRUE(early.waitFor(QStringLiteral("home/yard/state"), "stopped"));

    ASSERT_TRUE(::kill(pid_t(houndly.processId()), SIGKILL) == 0);
    EXPECT_TRUE(early.waitFor(QStringLiteral("home/yard/availability"), "offline"));
    houndly.waitForFinished(5000);
    const QString output = QString::fromUtf8(houndly.readAll());
    EXPECT_TRUE(output.contains(QStringLiteral("MQTT connected to 127.0.0.1 port %1").arg(broker.port()))) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("watching stopped from MQTT"))) << output.toStdString();
    EXPECT_FALSE(output.contains(MqttBroker::kPassword)) << output.toStdString();
}

// Ticks keep coming while the broker answers nothing and while it is gone;
// restarted empty, it gets the program's retained topics again.
TEST(MqttTest, WatchingGoesOnWhileTheBrokerFreezesOrIsGoneAndAReturningBrokerIsToldEverythingAgain)
{
    testApplication();
    TempAppFolder home;
    MqttBroker broker;
    setUpMqtt(broker, QStringLiteral("127.0.0.1 %1"));
    Settings.COM.TIMER = 1;  // a tick every 100 ms
    std::atomic<int64_t> sceneMs{kCalm};
    setPreferredCamera(QStringLiteral("demo"));
    setDemoSceneClock([&sceneMs] { return sceneMs.load(); });
    MqttRecorder hub(broker.port());
    {
        Watcher watcher;
        ASSERT_TRUE(watcher.connectCamera());
        watcher.startWatching();
        MqttLink link(watcher);
        QStringList told;
        QObject::connect(&link, &MqttLink::told, [&told](const QString& line) { told << line; });
        EXPECT_EQ(link.start(),
                  QStringLiteral("MQTT to 127.0.0.1 port %1 under home/yard/").arg(broker.port()));
        ASSERT_TRUE(hub.waitFor(QStringLiteral("home/yard/state"), "watching"));

        QElapsedTimer clock;
        clock.start();
        qint64 lastTick = 0, longestGap = 0;
        int ticks = 0;
        QObject::connect(&watcher, &Watcher::ticked, [&](int32_t, const QImage&) {
            longestGap = std::max(longestGap, clock.elapsed() - lastTick);
            lastTick = clock.elapsed();
            ++ticks;
        });
        broker.freeze(true);
        serve(3000);
        broker.freeze(false);
        broker.stop();
        ASSERT_TRUE(serveUntil([&told] { return !told.filter(QStringLiteral("lost")).isEmpty(); }, 10000))
            << told.join(u'\n').toStdString();
        serve(2000);
        EXPECT_GT(ticks, 20);
        EXPECT_LT(longestGap, 1500) << "a tick waited for the broker";

        ASSERT_TRUE(broker.start());
        MqttRecorder back(broker.port());
        EXPECT_TRUE(back.waitFor(QStringLiteral("home/yard/availability"), "online"));
        EXPECT_TRUE(back.waitFor(QStringLiteral("home/yard/state"), "watching"));
        EXPECT_FALSE(told.join(u'\n').contains(MqttBroker::kPassword));
    }
    setDemoSceneClock({});
    setPreferredCamera(QString());
}
