// What the account then gets: the live stream, the history, the files and the
// clips, the watch switch; and what a viewer can never do to watching.
#include "tests/web/WebViewFixture.h"

#include "capture/CaptureWindow.h"
#include "capture/FrameJpeg.h"
#include "history/HistoryLog.h"
#include "settings/Settings.h"
#include "tests/support/Footage.h"
#include "tests/support/TestApplication.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>

#include <curl/curl.h>

#include <functional>
#include <future>
#include <set>

namespace {

using WebStreamTest = WebViewFixture;

// The frames of an MJPEG file as stored in it, each JPEG byte for byte.
std::set<QByteArray> storedJpegs(const QString& video, const QString& folder)
{
    QDir().mkpath(folder);
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), video,
                                            QStringLiteral("-c:v"), QStringLiteral("copy"), QStringLiteral("-f"),
                                            QStringLiteral("image2"), folder + QStringLiteral("/%05d.jpg")});
    ffmpeg.waitForFinished(60000);
    std::set<QByteArray> jpegs;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        jpegs.insert(readFileBytes(QDir(folder).filePath(name)));
    return jpegs;
}

TEST_F(WebStreamTest, LiveFramesAreJpegsAndAnMjpegCamerasGoOutAsTheyCame)
{
    const QString footage = home.filePath(QStringLiteral("room.avi"));
    Footage room;
    room.framesPerSecond = 10;
    room.seconds = 4;
    ASSERT_TRUE(makeFootage(footage, room));
    const std::set<QByteArray> stored = storedJpegs(footage, home.filePath(QStringLiteral("frames")));
    ASSERT_GT(stored.size(), 30u);
    for (const QString& camera : {QStringLiteral("demo"), footage}) {
        SCOPED_TRACE(camera.toStdString());
        watch(camera);
        web->start();
        const WebReply stream = readStream("/stream.mjpg?fps=15", 4);
        EXPECT_EQ(stream.status, 200);
        EXPECT_EQ(stream.headersNamed("Content-Type").value(0), "multipart/x-mixed-replace;boundary=houndlyframe");
        std::vector<QByteArray> jpegs = multipartParts(stream.body);
        const WebReply snapshot = get("/snapshot.jpg");
        EXPECT_EQ(snapshot.headersNamed("Content-Type").value(0), "image/jpeg");
        jpegs.push_back(snapshot.body);
        ASSERT_EQ(jpegs.size(), 5u);
        for (const QByteArray& jpeg : jpegs) {
            EXPECT_EQ(decodeFrameJpeg(jpeg).size(), hCapWnd->frameSize());
            EXPECT_EQ(stored.contains(jpeg), camera == footage);
        }
    }
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(multipartParts(readStream("/stream.mjpg", 4).body).size(), 4u);
    EXPECT_GE(clock.elapsed(), 3 * 200 * 9 / 10) << "5 frames a second by default";
    for (const QByteArray fps : {"0", "16", "five"})
        EXPECT_EQ(get("/stream.mjpg?fps=" + fps).status, 400) << fps.toStdString();
}

TEST_F(WebStreamTest, FilesGoByTheirOwnNamesOnlyWithRanges)
{
    web->start();
    QByteArray bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += char(i * 7);
    writeFileBytes(home.filePath(QStringLiteral("img/260101120000_ALERT.jpg")), bytes);
    writeFileBytes(home.filePath(QStringLiteral("avi/260101120000_ALERT_2.AVI")), bytes);
    writeFileBytes(home.filePath(QStringLiteral("avi/notes.txt")), bytes);
    ASSERT_TRUE(QFile::link(home.filePath(QStringLiteral("avi/notes.txt")), home.filePath(QStringLiteral("img/260101120001_ALERT.jpg"))));
    const struct {
        QByteArray path, range;
        long status;
        QByteArray body, contentRange;
    } rows[] = {
        {"/media/img/260101120000_ALERT.jpg", "", 200, bytes, ""},
        {"/media/avi/260101120000_ALERT_2.AVI", "bytes=10-19", 206, bytes.mid(10, 10), "bytes 10-19/1000"},
        {"/media/avi/260101120000_ALERT_2.AVI", "bytes=990-", 206, bytes.mid(990), "bytes 990-999/1000"},
        {"/media/avi/260101120000_ALERT_2.AVI", "bytes=-5", 206, bytes.right(5), "bytes 995-999/1000"},
        {"/media/avi/260101120000_ALERT_2.AVI", "bytes=995-5000", 206, bytes.right(5), "bytes 995-999/1000"},
        {"/media/avi/260101120000_ALERT_2.AVI", "bytes=1000-", 416, "", "bytes */1000"},
        {"/media/avi/260101120000_ALERT_2.AVI", "bytes=1-2,5-6", 200, bytes, ""},
        {"/media/img/../houndly.ini", "", 404, {}, ""},
        {"/media/img/..%2fhoundly.ini", "", 404, {}, ""},
        {"/media/img/%2e%2e/houndly.ini", "", 404, {}, ""},
        {"/media/avi/notes.txt", "", 404, {}, ""},
        {"/media/img/260101120000_ALERT.jpg.bak", "", 404, {}, ""},
        {"/media/img/x/260101120000_ALERT.jpg", "", 404, {}, ""},
        {"/media/avi/260101120000_ALERT.jpg", "", 404, {}, ""},
        {"/media/img/260101120001_ALERT.jpg", "", 404, {}, ""},  // a link planted under an own name
        {"/clips/..%2f..%2fhoundly.mjpg", "", 404, {}, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE((row.path + " " + row.range).toStdString());
        WebCall call{.url = url(row.path), .user = kUser, .password = kPassword, .auth = CURLAUTH_DIGEST};
        if (!row.range.isEmpty())
            call.headers << "Range: " + row.range;
        const WebReply reply = webCall(call);
        EXPECT_EQ(reply.status, row.status);
        if (row.status != 404) {
            EXPECT_EQ(reply.body, row.body);
        }
        EXPECT_EQ(reply.headersNamed("Content-Range").value(0), row.contentRange);
    }
}

TEST_F(WebStreamTest, TheStatusFollowsARealAlarmWhichIsListedAndItsClipPlaysAsRecordedAtItsPace)
{
    Settings.FTP.MOVE = QStringLiteral("True");
    Settings.FTP.TIME = 5;
    web->start();
    // Older alarms, their pictures gone: the list holds the newest 1000, and links only to what is there.
    AlarmRecord older;
    older.snapshots = {QStringLiteral("img/010101000000_ALERT.jpg")};
    for (int n = 0; n < 1000; ++n) {
        older.time = QDateTime(QDate(2001, 1, 1), QTime(0, 0)).addSecs(n);
        ASSERT_TRUE(appendHistoryLine(historyLogPath(), alarmToJson(older)));
    }
    tickAt(kCalm);
    tickAt(kIntruder);  // records its clip
    pump();
    const auto status = [&] { return QJsonDocument::fromJson(get("/api/status").body).object(); };
    const QJsonObject raised = status();
    EXPECT_TRUE(raised[QStringLiteral("watching")].toBool());
    EXPECT_EQ(raised[QStringLiteral("level")].toInt(), 3);
    EXPECT_EQ(raised[QStringLiteral("alarmCount")].toInt(), 10);
    EXPECT_GT(raised[QStringLiteral("count")].toInt(), 10);
    EXPECT_FALSE(raised[QStringLiteral("lastAlarm")].toString().isEmpty());
    EXPECT_EQ(raised[QStringLiteral("status")].toString(), QStringLiteral("Houndly: 警報！ 誰かいたワン！!"));
    const QJsonArray today = QJsonDocument::fromJson(get("/api/alarms?day=" + QDate::currentDate().toString(Qt::ISODate).toLatin1()).body).array();
    ASSERT_EQ(today.size(), 1);
    const QJsonObject alarm = today[0].toObject();
    EXPECT_GT(alarm[QStringLiteral("count")].toInt(), 10);
    EXPECT_EQ(alarm[QStringLiteral("alarmCount")].toInt(), 10);
    const QJsonArray all = QJsonDocument::fromJson(get("/api/alarms").body).array();
    EXPECT_TRUE(all.size() == 1000 && all[0] == today[0] && all[1][QStringLiteral("snapshotLinks")].toArray().isEmpty());
    EXPECT_TRUE(QJsonDocument::fromJson(get("/api/alarms?day=2001-01-02").body).array().isEmpty());
    EXPECT_EQ(get("/api/alarms?day=yesterday").status, 400);

    const QString clip = home.filePath(alarm[QStringLiteral("clip")].toString());
    const QByteArray link = alarm[QStringLiteral("clipStreamLink")].toString().toLatin1();
    EXPECT_EQ(link, "/clips/" + QFileInfo(clip).completeBaseName().toLatin1() + ".mjpg");
    EXPECT_EQ(get(alarm[QStringLiteral("clipLink")].toString().toLatin1()).body, readFileBytes(clip));
    const std::set<QByteArray> recorded = storedJpegs(clip, home.filePath(QStringLiteral("recorded")));
    QElapsedTimer clock;
    clock.start();
    const std::vector<QByteArray> played = multipartParts(readStream(link, 16).body);
    const qint64 elapsed = clock.elapsed();
    ASSERT_GE(played.size(), 16u);
    for (const QByteArray& jpeg : played)
        EXPECT_TRUE(recorded.contains(jpeg));
    EXPECT_GE(elapsed, 15 * 1000 / 30 * 9 / 10);  // 30 frames a second, not as fast as it reads
    watcher->suspend();
    EXPECT_FALSE(status()[QStringLiteral("watching")].toBool());
    watch(QStringLiteral("demo"));  // a restart: the latest alarm comes back from the history
    web->start();
    EXPECT_EQ(status()[QStringLiteral("lastAlarm")], alarm[QStringLiteral("time")]);
}

TEST_F(WebStreamTest, TheSwitchTakesOnlyThePagesOwnRequests)
{
    web->start();
    const QByteArray page = get("/").body;
    const QByteArray token = QRegularExpression(QStringLiteral("TOKEN = \"([0-9a-f]+)\"")).match(QString::fromLatin1(page)).captured(1).toLatin1();
    ASSERT_EQ(token.size(), 48);
    const QByteArray origin = "Origin: http://127.0.0.1:" + QByteArray::number(Settings.EXT.WEBPORT);
    const auto post = [&](const QList<QByteArray>& headers, const QByteArray& body) {
        WebCall call{.url = url("/api/watch"), .user = kUser, .password = kPassword, .auth = CURLAUTH_DIGEST};
        call.headers = headers;
        call.headers << "Content-Type: application/json";
        call.post = body;
        return webCall(call).status;
    };
    const QByteArray off = R"({"watch": false})";
    EXPECT_EQ(post({"X-Houndly-Token: " + token}, off), 403);
    EXPECT_EQ(post({"Origin: http://evil.example", "X-Houndly-Token: " + token}, off), 403);
    const QByteArray wrongToken = token.chopped(1) + (token.endsWith('0') ? "1" : "0");
    EXPECT_EQ(post({origin, "X-Houndly-Token: " + wrongToken}, off), 403);
    EXPECT_EQ(post({origin, "X-Houndly-Token: " + token, "Sec-Fetch-Site: cross-site"}, off), 403);
    EXPECT_EQ(post({origin, "X-Houndly-Token: " + token}, R"({"watch": "no"})"), 400);
    EXPECT_EQ(post({origin, "X-Houndly-Token: " + token}, QByteArray(1025 - off.size(), ' ') + off), 413);
    EXPECT_EQ(get("/api/watch").status, 405);
    pump();
    EXPECT_TRUE(watchRequests.isEmpty());
    EXPECT_EQ(post({origin, "X-Houndly-Token: " + token, "Sec-Fetch-Site: same-origin"}, QByteArray(1024 - off.size(), ' ') + off), 202);
    pump();
    EXPECT_EQ(watchRequests, QList<bool>{false});
    emit watcher->commandsLocked(true);
    pump();
    EXPECT_EQ(post({origin, "X-Houndly-Token: " + token}, off), 409);
}

// Seven viewers that stopped reading hold their connections; the eighth gets
// its frames, a ninth is not let in, the detector ticks at its pace, and a
// stop ends every stream within a moment.
TEST_F(WebStreamTest, ViewersThatStopReadingHoldUpNeitherTheTicksNorTheOthersNorTheStop)
{
    web->start();
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    const auto streamCall = [&](std::function<bool(const QByteArray&)> keepReading) {
        WebCall call{.url = url("/stream.mjpg?fps=15"), .user = kUser, .password = kPassword, .auth = CURLAUTH_DIGEST};
        call.keepReading = std::move(keepReading);
        return call;
    };
    std::vector<std::future<WebReply>> stalled;
    for (int viewer = 0; viewer < 7; ++viewer)
        // Each stops at its first frame: a challenge's body comes to this callback too.
        stalled.push_back(std::async(std::launch::async, webCall, streamCall([released](const QByteArray& body) {
                                         if (multipartParts(body).empty())
                                             return true;
                                         released.wait();
                                         return false;
                                     })));
    // However the test ends, the stalled viewers are let go, so their threads end.
    auto letGo = qScopeGuard([&] { release.set_value(); });
    int ticks = 0;
    QObject::connect(watcher.get(), &Watcher::ticked, [&ticks] { ++ticks; });
    Settings.COM.TIMER = 1;
    watcher->startDetector();
    pump(1000);  // the stalled streams fill their buffers meanwhile
    std::atomic<size_t> viewed{0};
    auto viewer = std::async(std::launch::async, [&] {
        return webCall(streamCall([&viewed](const QByteArray& body) {
            viewed = multipartParts(body).size();
            return true;
        }));
    });
    ASSERT_TRUE(waitUntil([&] { return viewed > 0; }, std::chrono::seconds(20)));
    EXPECT_NE(get("/api/status").status, 200);  // the ninth connection
    ticks = 0;
    pump(2000);
    watcher->stopDetector();
    EXPECT_GE(ticks, 14);  // 20 at 100 ms each
    QElapsedTimer clock;
    clock.start();
    web->stop();
    EXPECT_LT(clock.elapsed(), 3000);
    const WebReply seen = viewer.get();  // its stream ended, it did not run into its time limit
    EXPECT_EQ(seen.status, 200);
    EXPECT_GE(multipartParts(seen.body).size(), 10u);
    letGo.dismiss();
    release.set_value();
    for (auto& each : stalled)
        EXPECT_EQ(each.get().status, 200);
}

}  // namespace
