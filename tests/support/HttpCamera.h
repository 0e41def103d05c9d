#pragma once

#include <QProcess>

// ffmpeg serving a live 320 x 240 MJPEG stream over HTTP at
// http://127.0.0.1:port/feed.mjpg to one viewer, in real time, for `seconds`.
// It accepts any user name and password in the URL. Listening once constructed.
class HttpCamera {
public:
    HttpCamera(int port, int framesPerSecond, int seconds);
    ~HttpCamera();
    HttpCamera(const HttpCamera&) = delete;
    HttpCamera& operator=(const HttpCamera&) = delete;

    void stop();

private:
    QProcess process_;
};
