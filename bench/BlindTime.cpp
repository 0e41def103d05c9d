// The detector's blind time while an SMTP server holds the alarm's mail after
// DATA: a watcher on the demo camera ticks every 100 ms; the intruder crosses
// once, the alarm mails one destination through the server on PORT, which
// answers the end of the message late. Prints the longest time between two
// ticks from the alarm until every alarm is over, less the tick interval: the
// time the detector could not see.
//
//   bench_blind_time PORT KEEPWATCH        (KEEPWATCH 0 or 1)
#include "capture/CaptureWindow.h"
#include "capture/DemoDriver.h"
#include "capture/DriverRegistry.h"
#include "settings/Settings.h"
#include "watch/Watcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Scene times of the demo camera: the intruder crosses in the last 3 s of every 30 s.
constexpr int64_t kCalm = 1000, kIntruder = 28000;
constexpr int kTickMs = 100;
constexpr int kBoundMs = 180000;

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SMTP_PORT KEEPWATCH(0|1)\n", argv[0]);
        return 2;
    }
    QTemporaryDir home;
    qputenv("HOUNDLY_HOME", home.path().toLocal8Bit());
    QCoreApplication application(argc, argv);
    if (!sLoadSettings())
        return 1;
    Settings.COM.TIMER = kTickMs / 100;
    Settings.COM.CKSUM = 10;
    Settings.EXT.KEEPWATCH = std::atoi(argv[2]) != 0;
    Settings.MAIL.MAIL = QStringLiteral("guard@example.org");
    Settings.MAIL.SMTP = QStringLiteral("127.0.0.1\t%1").arg(argv[1]);
    Settings.MAIL.ATT = Settings.MAIL.OPTATT = Settings.MAIL.AtCRAM = QStringLiteral("0");
    Settings.TRG[0] = {QStringLiteral("True"), QStringLiteral("owner@example.net"), QStringLiteral("alarm"), {}, 0, 0, {}, 0};
    std::atomic<int64_t> sceneMs{kCalm};
    setDemoSceneClock([&sceneMs] { return sceneMs.load(); });
    setPreferredCamera(QStringLiteral("demo"));

    Watcher watcher;
    if (!watcher.connectCamera())
        return 1;
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> ticks;
    qint64 alarmAt = -1;
    QObject::connect(&watcher, &Watcher::ticked, [&](int32_t count, const QImage&) {
        ticks.push_back(clock.elapsed());
        if (alarmAt < 0 && count > Settings.COM.CKSUM) {
            alarmAt = ticks.back();
            sceneMs = kCalm;  // it has passed
        }
    });
    watcher.startWatching();
    QTimer::singleShot(2000, [&sceneMs] { sceneMs = kIntruder; });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // One tick after the last alarm is over shows the detector seeing again.
        const bool done = alarmAt >= 0 && !watcher.isAlarmRunning() && ticks.back() > alarmAt;
        if (done || clock.elapsed() > kBoundMs)
            QCoreApplication::quit();
    });
    poll.start(kTickMs);
    QCoreApplication::exec();
    watcher.shutDown();
    if (alarmAt < 0) {
        std::fprintf(stderr, "no alarm was raised\n");
        return 1;
    }
    qint64 longest = 0;
    for (size_t i = 1; i < ticks.size(); ++i)
        if (ticks[i] > alarmAt)
            longest = std::max(longest, ticks[i] - ticks[i - 1]);
    std::printf("%.1f\n", std::max<qint64>(longest - kTickMs, 0) / 1000.0);
    return 0;
}
