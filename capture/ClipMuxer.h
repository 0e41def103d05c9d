#pragma once

#include "capture/ClipRecorder.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVRational;
struct AVStream;
struct SwsContext;
class ClipAudioInput;

// The AVI file of one clip: encodes pictures as its video stream and, when
// asked and a sound device exists, copies PCM sound into a second stream.
class ClipMuxer {
public:
    // Null (with `error` set) when the file or the encoder cannot be opened.
    static std::unique_ptr<ClipMuxer> open(const ClipRecording& recording, QString& error);
    ~ClipMuxer();
    ClipMuxer(const ClipMuxer&) = delete;
    ClipMuxer& operator=(const ClipMuxer&) = delete;

    bool hasAudio() const { return audio_ != nullptr; }
    // Starts copying sound; its clock starts now, `offset` into the clip.
    void startAudio(std::chrono::microseconds offset);
    // Encodes `picture` (any size, Format_RGB32) as frame number `index`.
    bool writePicture(const QImage& picture, int64_t index);
    // Ends the sound, flushes the encoder and closes the file; true when whole.
    bool finish();
    QString error() const;

private:
    ClipMuxer() = default;
    bool openVideo(const ClipRecording& recording);
    bool openAudio();
    bool prepareScaler(QSize sourceSize);
    bool encode(AVFrame* frame);
    bool writePacket(AVPacket* packet, AVStream* stream, AVRational sourceTimeBase);
    void copyAudio();
    bool fail(const QString& what, int code);

    AVFormatContext* output_ = nullptr;
    AVCodecContext* encoder_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVFrame* frame_ = nullptr;
    SwsContext* scaler_ = nullptr;
    QSize scalerSource_;
    int qualityLambda_ = 0;  // 0 = the encoder's own rate control

    std::unique_ptr<ClipAudioInput> audio_;
    AVStream* audioStream_ = nullptr;
    int64_t audioLimit_ = 0;   // in the audio stream's time base: no sound past the clip's end
    int64_t audioOffset_ = 0;  // in the audio input's time base: where the sound begins in the clip
    std::thread audioThread_;

    std::mutex writeMutex_;  // the muxer is shared by the video and sound threads
    bool headerWritten_ = false;
    bool finished_ = false;
    std::chrono::milliseconds timeLimit_{0};
    mutable std::mutex errorMutex_;
    QString error_;  // the first failure
};
