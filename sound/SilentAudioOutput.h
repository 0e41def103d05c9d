#pragma once

#include "sound/AudioOutput.h"

#include <chrono>
#include <functional>

// An ideal audio device that makes no noise: a WAVE file "plays" for exactly
// its duration, read from its header. Stands in for speakers where there are none.
class SilentAudioOutput : public AudioOutput {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit SilentAudioOutput(Clock clock = std::chrono::steady_clock::now);
    std::unique_ptr<AudioClip> open(const QString& path) override;

private:
    Clock clock_;
};
