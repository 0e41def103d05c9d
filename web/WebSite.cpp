#include "web/WebSite.h"

#include "history/HistoryLog.h"
#include "history/StorageKeeper.h"
#include "web/AlarmList.h"
#include "web/ClipStream.h"
#include "web/LiveJpeg.h"
#include "web/MediaFiles.h"
#include "web/MjpegStream.h"
#include "web/WatchBoard.h"
#include "web/WebAccount.h"
#include "web/WebResponses.h"
#include "web/WebServer.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

#include <microhttpd.h>

namespace {

const QByteArray kImages("/media/img/");
const QByteArray kClips("/media/avi/");
const QByteArray kClipStreams("/clips/");
const QByteArray kStreamSuffix(".mjpg");

bool notFound(const WebRequest& request)
{
    return queueText(request.connection, MHD_HTTP_NOT_FOUND, "Not found.");
}

bool badRequest(const WebRequest& request, const QByteArray& why)
{
    return queueText(request.connection, MHD_HTTP_BAD_REQUEST, why);
}

}  // namespace

WebSite::WebSite(WatchBoard& board, LiveJpeg& live, const StopSignal& stop, QString appFolder, QByteArray page,
                 QByteArray token, WatchSwitch watchSwitch)
    : board_(board),
      live_(live),
      stop_(stop),
      appFolder_(std::move(appFolder)),
      page_(std::move(page)),
      token_(std::move(token)),
      watchSwitch_(std::move(watchSwitch))
{
}

bool WebSite::answer(const WebRequest& request)
{
    const QByteArray& path = request.path;
    if (path == "/api/watch")
        return request.method == "POST" ? watch(request)
                                        : queueText(request.connection, MHD_HTTP_METHOD_NOT_ALLOWED, "POST only.");
    if (request.method == "POST")
        return queueText(request.connection, MHD_HTTP_METHOD_NOT_ALLOWED, "GET only.");
    if (path == "/")
        return queueBytes(request.connection, MHD_HTTP_OK, page_, "text/html; charset=utf-8");
    if (path == "/stream.mjpg")
        return stream(request);
    if (path == "/snapshot.jpg")
        return snapshot(request);
    if (path == "/api/status")
        return queueJson(request.connection, statusJson(board_.read()));
    if (path == "/api/alarms")
        return alarms(request);
    // Names are taken only when they are the program's own: no path is ever built from anything else.
    if (path.startsWith(kImages))
        return media(request, QString::fromUtf8(path.sliced(kImages.size())), false);
    if (path.startsWith(kClips))
        return media(request, QString::fromUtf8(path.sliced(kClips.size())), true);
    if (path.startsWith(kClipStreams) && path.endsWith(kStreamSuffix))
        return clipStream(request, QString::fromUtf8(path.sliced(kClipStreams.size()).chopped(kStreamSuffix.size())));
    return notFound(request);
}

bool WebSite::stream(const WebRequest& request)
{
    int framesPerSecond = kDefaultFramesPerSecond;
    if (const std::optional<QByteArray> fps = request.argument("fps")) {
        bool ok = false;
        framesPerSecond = fps->toInt(&ok);
        if (!ok || framesPerSecond < 1 || framesPerSecond > kMostFramesPerSecond)
            return badRequest(request, "fps is a whole number from 1 to 15.");
    }
    return queueResponse(request.connection, MHD_HTTP_OK, mjpegResponse(liveSource(live_, framesPerSecond, stop_)));
}

bool WebSite::snapshot(const WebRequest& request)
{
    const std::shared_ptr<const LiveJpegFrame> frame = live_.newest();
    if (frame == nullptr)
        return queueText(request.connection, MHD_HTTP_SERVICE_UNAVAILABLE, "The camera delivers no picture.");
    return queueBytes(request.connection, MHD_HTTP_OK, frame->bytes, "image/jpeg");
}

bool WebSite::alarms(const WebRequest& request)
{
    std::optional<QDate> day;
    if (const std::optional<QByteArray> text = request.argument("day")) {
        day = QDate::fromString(QString::fromLatin1(*text), Qt::ISODate);
        if (!day->isValid() || text->size() != 10)
            return badRequest(request, "day is a date YYYY-MM-DD.");
    }
    return queueJson(request.connection, alarmsJson(QDir(appFolder_).filePath(QStringLiteral("history.log")), appFolder_, day));
}

bool WebSite::media(const WebRequest& request, const QString& name, bool clip)
{
    if (!(clip ? isClipName(name) : isSnapshotName(name)))
        return notFound(request);
    const QString path = QDir(appFolder_).filePath((clip ? QStringLiteral("avi/") : QStringLiteral("img/")) + name);
    return queueMediaFile(request, path, clip ? "video/x-msvideo" : "image/jpeg");
}

bool WebSite::clipStream(const WebRequest& request, const QString& name)
{
    const QString fileName = name + QStringLiteral(".AVI");
    if (!isClipName(fileName))
        return notFound(request);
    const QString path = QDir(appFolder_).filePath(QStringLiteral("avi/") + fileName);
    if (!QFileInfo(path).isFile())
        return notFound(request);
    QString why;
    std::unique_ptr<JpegSource> source = clipSource(path, stop_, why);
    if (source == nullptr)
        return queueText(request.connection, MHD_HTTP_UNSUPPORTED_MEDIA_TYPE, why.toUtf8());
    return queueResponse(request.connection, MHD_HTTP_OK, mjpegResponse(std::move(source)));
}

bool WebSite::watch(const WebRequest& request)
{
    // Another site's page cannot read the token, and its requests carry its own origin.
    const QByteArray origin = (secure_ ? "https://" : "http://") + request.header(MHD_HTTP_HEADER_HOST);
    const QByteArray fetchSite = request.header("Sec-Fetch-Site");
    if (request.header("Origin") != origin || (!fetchSite.isEmpty() && fetchSite != "same-origin") ||
        !equalInConstantTime(request.header("X-Houndly-Token"), token_))
        return queueText(request.connection, MHD_HTTP_FORBIDDEN, "Only the page of this web view may switch watching.");
    const QJsonObject body = QJsonDocument::fromJson(request.body).object();
    if (!body.value(QStringLiteral("watch")).isBool())
        return badRequest(request, "The body is {\"watch\": true} or {\"watch\": false}.");
    if (board_.read().locked)
        return queueText(request.connection, MHD_HTTP_CONFLICT, "Watching is busy (an alarm or a dialog); try again.");
    const bool on = body.value(QStringLiteral("watch")).toBool();
    watchSwitch_(on);
    return queueBytes(request.connection, MHD_HTTP_ACCEPTED, on ? "{\"watch\":true}" : "{\"watch\":false}",
                      "application/json");
}
