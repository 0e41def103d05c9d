#pragma once

#include "capture/CameraFrame.h"

#include <QSize>
#include <QString>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
class AvFrameConverter;

// Reads the video stream of anything libavformat opens (a file, a V4L2 node
// through libavdevice, a network stream) as camera frames, leaving each frame
// undecoded until it is used: MJPEG frames stay compressed packets, other codecs
// are decoded (each frame depends on the one before) but not converted. Every
// blocking call is bounded by the time-out given to open(), so a source that
// stops answering makes a read fail instead of hanging.
class AvVideoInput {
public:
    static constexpr std::chrono::milliseconds kIoTimeout{3000};

    enum class Read { Frame, End, Error };

    AvVideoInput() = default;
    ~AvVideoInput();
    AvVideoInput(const AvVideoInput&) = delete;
    AvVideoInput& operator=(const AvVideoInput&) = delete;

    // `inputFormat` names a libavformat input ("video4linux2"), empty to probe.
    // `timeout` bounds the opening and then every read.
    bool open(const QString& url, const char* inputFormat = nullptr,
              const std::map<std::string, std::string>& options = {},
              std::chrono::milliseconds timeout = kIoTimeout);
    void close();
    bool isOpen() const { return format_ != nullptr; }
    // Makes an open or a read in progress fail at once, and every later one too;
    // safe from any thread.
    void interrupt();

    Read read(std::shared_ptr<const CameraFrame>& frame);
    // Back to the first frame (files only).
    bool rewind();

    QSize size() const;
    // Frames per second as the container states it; 0 when unknown.
    double frameRate() const;

private:
    // A JPEG packet that libjpeg-turbo can read as the stream's size stays a packet.
    std::shared_ptr<const CameraFrame> keepJpegPacket();
    void armDeadline();
    static int interrupted(void* self);

    AVFormatContext* format_ = nullptr;
    AVCodecContext* decoder_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* decoded_ = nullptr;
    std::shared_ptr<AvFrameConverter> converter_;
    void* jpegHeaderReader_ = nullptr;  // libjpeg-turbo, MJPEG streams only
    int stream_ = -1;
    bool draining_ = false;
    std::chrono::milliseconds timeout_ = kIoTimeout;
    std::atomic<bool> interrupted_{false};
    std::chrono::steady_clock::time_point deadline_;
};
