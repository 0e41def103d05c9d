#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class LiveJpeg;
class StopSignal;
class WatchBoard;
struct WebRequest;

// The web view's paths, answered on the server's threads:
//   GET  /                  the page
//   GET  /stream.mjpg       the live picture, ?fps=1..15 (5)
//   GET  /snapshot.jpg      the current picture
//   GET  /api/status        the watch state
//   GET  /api/alarms        the history, ?day=YYYY-MM-DD
//   GET  /media/img/NAME    a snapshot, /media/avi/NAME a clip, by the program's own names
//   GET  /clips/NAME.mjpg   a clip's recorded frames as a stream
//   POST /api/watch         {"watch": true|false}, from the page only
class WebSite {
public:
    static constexpr int kDefaultFramesPerSecond = 5;
    static constexpr int kMostFramesPerSecond = 15;
    using WatchSwitch = std::function<void(bool watch)>;

    // `page` is the page's HTML with `token` in it; `watchSwitch` is called on a server thread.
    WebSite(WatchBoard& board, LiveJpeg& live, const StopSignal& stop, QString appFolder, QByteArray page,
            QByteArray token, WatchSwitch watchSwitch);

    // Whether the server speaks HTTPS, which the page's origin tells.
    void setSecure(bool secure) { secure_ = secure; }
    bool answer(const WebRequest& request);

private:
    bool stream(const WebRequest& request);
    bool snapshot(const WebRequest& request);
    bool alarms(const WebRequest& request);
    bool media(const WebRequest& request, const QString& name, bool clip);
    bool clipStream(const WebRequest& request, const QString& name);
    bool watch(const WebRequest& request);

    WatchBoard& board_;
    LiveJpeg& live_;
    const StopSignal& stop_;
    const QString appFolder_;
    const QByteArray page_;
    const QByteArray token_;
    const WatchSwitch watchSwitch_;
    bool secure_ = false;
};
