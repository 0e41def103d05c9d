#include "sound/SilentAudioOutput.h"

#include "sound/WavDuration.h"

#include <optional>
#include <utility>

namespace {

class SilentClip : public AudioClip {
public:
    SilentClip(std::chrono::milliseconds duration, SilentAudioOutput::Clock clock)
        : duration_(duration), clock_(std::move(clock)) {}

    void start() override { endsAt_ = clock_() + duration_; }
    void stop() override { endsAt_.reset(); }
    bool isPlaying() const override { return endsAt_ && clock_() < *endsAt_; }
    bool failed() const override { return false; }

private:
    std::chrono::milliseconds duration_;
    SilentAudioOutput::Clock clock_;
    std::optional<std::chrono::steady_clock::time_point> endsAt_;
};

}  // namespace

SilentAudioOutput::SilentAudioOutput(Clock clock) : clock_(std::move(clock)) {}

std::unique_ptr<AudioClip> SilentAudioOutput::open(const QString& path) {
    const auto duration = wavDuration(path);
    if (!duration) return nullptr;
    return std::make_unique<SilentClip>(*duration, clock_);
}
