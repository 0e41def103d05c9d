#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <chrono>
#include <map>
#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

// Decodes the video stream of anything libavformat opens (a file, a V4L2 node
// through libavdevice) into Format_RGB32 frames. Every blocking call is bounded
// by kIoTimeout, so a device that stops answering makes a read fail instead of hanging.
class AvVideoInput {
public:
    static constexpr std::chrono::seconds kIoTimeout{3};

    enum class Read { Frame, End, Error };

    AvVideoInput() = default;
    ~AvVideoInput();
    AvVideoInput(const AvVideoInput&) = delete;
    AvVideoInput& operator=(const AvVideoInput&) = delete;

    // `inputFormat` names a libavformat input ("video4linux2"), empty to probe.
    bool open(const QString& url, const char* inputFormat = nullptr,
              const std::map<std::string, std::string>& options = {});
    void close();
    bool isOpen() const { return format_ != nullptr; }

    Read read(QImage& frame);
    // Back to the first frame (files only).
    bool rewind();

    QSize size() const;
    // Frames per second as the container states it; 0 when unknown.
    double frameRate() const;

private:
    QImage convert(const AVFrame& decoded);
    void armDeadline();
    static int interrupted(void* self);

    AVFormatContext* format_ = nullptr;
    AVCodecContext* decoder_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* decoded_ = nullptr;
    SwsContext* scaler_ = nullptr;
    int stream_ = -1;
    bool draining_ = false;
    std::chrono::steady_clock::time_point deadline_;
};
