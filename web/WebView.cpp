#include "web/WebView.h"

#include "detect/AlarmLevel.h"
#include "history/HistoryLog.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"
#include "watch/Watcher.h"
#include "web/IpAddress.h"
#include "web/LiveJpeg.h"
#include "web/StopSignal.h"
#include "web/WatchBoard.h"
#include "web/WebAccount.h"
#include "web/WebAuth.h"
#include "web/WebCertificate.h"
#include "web/WebPage.h"
#include "web/WebServer.h"
#include "web/WebSite.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>

#include <netinet/in.h>

namespace {

const QString kDefaultAddress = QStringLiteral("127.0.0.1");

QString offBecause(const QString& why)
{
    return QStringLiteral("web view off: %1").arg(why);
}

}  // namespace

WebView::WebView(Watcher& watcher, QObject* parent)
    : QObject(parent),
      watcher_(watcher),
      board_(std::make_unique<WatchBoard>()),
      live_(std::make_unique<LiveJpeg>(*watcher.camera())),
      stop_(std::make_unique<StopSignal>())
{
    observeWatcher();
}

WebView::~WebView()
{
    stop();
    watcher_.events().remove(listener_);
}

QString WebView::start()
{
    stop();
    const SettingsRecord::Ext& ext = Settings.EXT;
    if (ext.WEBPORT == 0)
        return {};
    const std::optional<WebAccount> account = webAccountOf(ext.WEBUSER, ext.WEBHASH);
    if (!account)
        return offBecause(QStringLiteral("no account; set one with houndly --set-web-password USER"));
    const QString address = ext.WEBBIND.isEmpty() ? kDefaultAddress : ext.WEBBIND;
    const std::optional<IpAddress> host = parseIpAddress(address);
    if (!host)
        return offBecause(QStringLiteral("WEBBIND %1 is no IP address").arg(address));
    if (ext.WEBCERT.isEmpty() != ext.WEBKEY.isEmpty())
        return offBecause(QStringLiteral("WEBCERT and WEBKEY are given together or not at all"));

    WebListen listen{.address = address, .port = uint16_t(ext.WEBPORT), .tls = std::nullopt};
    QString why;
    bool made = false;
    if (!ext.WEBCERT.isEmpty())
        listen.tls = loadWebCertificate(ext.WEBCERT, ext.WEBKEY, why);
    else if (!host->isLoopback())
        // Plain HTTP only on this machine: elsewhere the account would cross the network readable.
        listen.tls = ownWebCertificate(appFolder(), address, made, why);
    if (!why.isEmpty())
        return offBecause(why);

    const bool secure = listen.tls.has_value();
    auth_ = std::make_unique<WebAuth>(*account, secure);
    const QByteArray token = randomBytes(24).toHex();
    site_ = std::make_unique<WebSite>(*board_, *live_, *stop_, appFolder(), webPage(token), token, [this](bool watch) {
        QMetaObject::invokeMethod(this, [this, watch] { emit watchRequested(watch); }, Qt::QueuedConnection);
    });
    site_->setSecure(secure);
    server_ = std::make_unique<WebServer>(
        *auth_, [site = site_.get()](const WebRequest& request) { return site->answer(request); }, *stop_,
        [this](const QString& line) {
            QMetaObject::invokeMethod(this, [this, line] { emit told(line); }, Qt::QueuedConnection);
        });
    const QString failure = server_->start(listen);
    // The key stays with the TLS library only.
    if (listen.tls)
        listen.tls->keyPem.fill('\0');
    if (!failure.isEmpty()) {
        server_.reset();
        return offBecause(QStringLiteral("%1 port %2: %3").arg(address).arg(ext.WEBPORT).arg(failure));
    }
    const QString shown = host->family == AF_INET6 ? u'[' + address + u']' : address;
    QString line = QStringLiteral("web view on %1://%2:%3/").arg(secure ? QStringLiteral("https") : QStringLiteral("http"), shown).arg(port());
    if (secure)
        line += QStringLiteral(", %1certificate SHA-256 %2")
                    .arg(made ? QStringLiteral("new self-signed ") : QString(), listen.tls->fingerprint);
    return line;
}

void WebView::stop()
{
    if (server_ != nullptr)
        server_->stop();
    server_.reset();
    site_.reset();
    auth_.reset();
}

bool WebView::isRunning() const
{
    return server_ != nullptr;
}

uint16_t WebView::port() const
{
    return server_ == nullptr ? 0 : server_->port();
}

void WebView::observeWatcher()
{
    Watcher* watcher = &watcher_;
    WatchBoard* board = board_.get();
    const std::optional<AlarmRecord> latest = readLatestAlarm(historyLogPath());
    board->change([&](WatchState& state) {
        state.watching = watcher->isWatching();
        state.alarmCount = Settings.COM.CKSUM;
        state.camera = watcher->cameraName();
        if (latest)
            state.lastAlarm = latest->time;
    });
    connect(watcher, &Watcher::ticked, this, [board](int32_t count, const QImage&) {
        board->change([count](WatchState& state) {
            state.count = count;
            state.alarmCount = Settings.COM.CKSUM;
        });
    });
    connect(watcher, &Watcher::levelShown, this,
            [board](AlarmLevel level) { board->change([level](WatchState& state) { state.level = int(level); }); });
    const auto showStatus = [board](const QString& text) {
        board->change([&text](WatchState& state) { state.status = text; });
    };
    connect(watcher, &Watcher::statusShown, this, showStatus);
    connect(watcher, &Watcher::alarmStepShown, this, showStatus);
    connect(watcher, &Watcher::commandsLocked, this,
            [board](bool locked) { board->change([locked](WatchState& state) { state.locked = locked; }); });
    connect(watcher, &Watcher::watchingChanged, this,
            [board](bool watching) { board->change([watching](WatchState& state) { state.watching = watching; }); });
    connect(watcher, &Watcher::timeLineDrawn, this, &WebView::showTimeLine);
    connect(watcher, &Watcher::timeLineRestored, this, &WebView::showTimeLine);
    connect(&watcher->uploads(), &UploadQueue::changed, this, [board, watcher] {
        const UploadQueue& uploads = watcher->uploads();
        board->change([&uploads](WatchState& state) {
            state.uploading = uploads.isBusy();
            state.uploadsWaiting = uploads.waitingCount();
        });
    });
    listener_ = watcher->events().add([board, watcher](const WatchEvent& event) {
        using Kind = WatchEvent::Kind;
        if (event.kind != Kind::Alarm && event.kind != Kind::CameraLost && event.kind != Kind::CameraBack &&
            event.kind != Kind::Started)
            return;
        board->change([&](WatchState& state) {
            if (event.kind == Kind::Alarm)
                state.lastAlarm = QDateTime::currentDateTime();
            else
                state.cameraLost = event.kind == Kind::CameraLost;
            state.camera = watcher->cameraName();
        });
    });
}

void WebView::showTimeLine()
{
    const TimeLine& line = watcher_.timeLine();
    QJsonArray columns;
    for (const TimeLineSlot& slot : line.recentSlots(QDateTime::currentDateTime())) {
        QJsonArray bars;
        for (const TimeLineBar& bar : slot.bars)
            bars.append(QJsonArray{TimeLine::kBaseY - bar.top, QColor(timeLineColour(bar.level)).name()});
        columns.append(QJsonArray{TimeLine::slotX(slot.start.time()) - TimeLine::kFirstX, bars});
    }
    const QByteArray json = QJsonDocument(columns).toJson(QJsonDocument::Compact);
    const QString clock = line.clockText();
    board_->change([&](WatchState& state) {
        state.timeLine = json;
        state.clock = clock;
    });
}
