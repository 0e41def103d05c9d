#pragma once

#include <atomic>
#include <memory>

struct AVCodecParameters;
struct AVFormatContext;
struct AVPacket;
struct AVRational;

// Sound from the default PulseAudio source, else the default ALSA device,
// read through libavdevice as raw PCM packets.
class ClipAudioInput {
public:
    // Null when no sound device can be opened (then a clip has no sound).
    static std::unique_ptr<ClipAudioInput> openDefault();
    ~ClipAudioInput();
    ClipAudioInput(const ClipAudioInput&) = delete;
    ClipAudioInput& operator=(const ClipAudioInput&) = delete;

    const AVCodecParameters* parameters() const;
    AVRational timeBase() const;
    // The next packet; false at the end, on an error or after interrupt().
    bool read(AVPacket* packet);
    // Makes a waiting read() return; safe from any thread.
    void interrupt();

private:
    ClipAudioInput() = default;
    static int interrupted(void* self);

    AVFormatContext* input_ = nullptr;
    int stream_ = -1;
    std::atomic<bool> interrupted_{false};
};
