#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class LiveJpeg;
class StopSignal;
class WatchBoard;
class Watcher;
class WebAuth;
class WebServer;
class WebSite;

// The built-in web view: the live picture, the watch state, the history and
// the clips over HTTP(S), behind the account of the settings. It observes the
// watcher as the windows do; its server runs on threads of its own, so a
// viewer never holds the watcher up. Lives on the watcher's thread.
class WebView : public QObject {
    Q_OBJECT
public:
    explicit WebView(Watcher& watcher, QObject* parent = nullptr);
    ~WebView() override;

    // Starts the server the settings ask for ([EXT] WEBPORT and the keys after
    // it) and returns what to tell the user: where it listens and the
    // certificate's fingerprint, or why it does not start; "" for WEBPORT 0.
    QString start();
    // Ends the connections within a moment, streams included.
    void stop();
    bool isRunning() const;
    uint16_t port() const;

signals:
    // The page's switch; the owner of watching decides (a busy window may not).
    void watchRequested(bool watch);
    // A line for the log: a lockout after failed logins.
    void told(const QString& line);

private:
    void observeWatcher();
    void showTimeLine();

    Watcher& watcher_;
    std::unique_ptr<WatchBoard> board_;
    std::unique_ptr<LiveJpeg> live_;
    std::unique_ptr<StopSignal> stop_;
    std::unique_ptr<WebAuth> auth_;
    std::unique_ptr<WebSite> site_;
    std::unique_ptr<WebServer> server_;
    int listener_ = 0;
};
