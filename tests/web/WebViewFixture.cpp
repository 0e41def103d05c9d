#include "tests/web/WebViewFixture.h"

#include "capture/CaptureWindow.h"
#include "capture/DemoDriver.h"
#include "capture/DriverRegistry.h"
#include "settings/Settings.h"
#include "tests/support/LoopbackServers.h"
#include "tests/support/TestApplication.h"
#include "web/WebAccount.h"

#include <QCoreApplication>
#include <QThread>

#include <curl/curl.h>

void WebViewFixture::SetUp()
{
    testApplication();
    ASSERT_TRUE(home.isValid());
    Settings = SettingsRecord{};
    ASSERT_TRUE(sLoadSettings());
    Settings.COM.TIMER = 50;  // the detector ticks only when the test says
    Settings.COM.CKSUM = 10;
    // Made once: the hash takes a while on purpose.
    static const QString hash = makeWebHash(QString::fromLatin1(kUser), kPassword);
    Settings.EXT.WEBUSER = QString::fromLatin1(kUser);
    Settings.EXT.WEBHASH = hash;
    Settings.EXT.WEBPORT = closedLoopbackPort();
    setDemoSceneClock([this] { return sceneMs.load(); });
    watch(QStringLiteral("demo"));
}

void WebViewFixture::watch(const QString& camera)
{
    web.reset();
    watcher.reset();
    setPreferredCamera(camera);
    watcher = std::make_unique<Watcher>();
    ASSERT_TRUE(watcher->connectCamera());
    watcher->startWatching();
    web = std::make_unique<WebView>(*watcher);
    QObject::connect(web.get(), &WebView::told, [this](const QString& line) { told << line; });
    QObject::connect(web.get(), &WebView::watchRequested, [this](bool on) { watchRequests << on; });
}

void WebViewFixture::TearDown()
{
    web.reset();
    watcher.reset();
    setDemoSceneClock({});
    setPreferredCamera(QString());
}

QByteArray WebViewFixture::url(const QByteArray& path) const
{
    return scheme + "://127.0.0.1:" + QByteArray::number(Settings.EXT.WEBPORT) + path;
}

WebReply WebViewFixture::get(const QByteArray& path, long auth) const
{
    return webCall({.url = url(path), .user = kUser, .password = kPassword, .auth = auth});
}

WebReply WebViewFixture::readStream(const QByteArray& path, size_t parts) const
{
    WebCall call{.url = url(path), .user = kUser, .password = kPassword, .auth = CURLAUTH_DIGEST};
    call.keepReading = [parts](const QByteArray& body) { return multipartParts(body).size() < parts; };
    return webCall(call);
}

void WebViewFixture::tickAt(int64_t ms)
{
    sceneMs = ms;
    uint64_t latest = 0;
    hCapWnd->latestFrame(&latest);
    ASSERT_TRUE(hCapWnd->waitForFrameAfter(latest + 1, std::chrono::seconds(10)));
    watcher->Timer1_Timer();
    // An alarm's clip is recorded while the event loop runs.
    const QDeadlineTimer deadline(std::chrono::minutes(1));
    while (watcher->isAlarmRunning() && !deadline.hasExpired())
        pump();
    ASSERT_FALSE(watcher->isAlarmRunning());
}

void WebViewFixture::pump(int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}
