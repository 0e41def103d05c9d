#include "web/ClipStream.h"

#include "capture/AvVideoInput.h"
#include "web/StopSignal.h"

namespace {

// What a clip states when it states no rate: the rate the program records at.
constexpr double kRecordedRate = 30.0;

class ClipSource final : public JpegSource {
public:
    ClipSource(std::unique_ptr<AvVideoInput> input, std::shared_ptr<const CameraFrame> first, const StopSignal& stop)
        : input_(std::move(input)), first_(std::move(first)), stop_(stop)
    {
        const double rate = input_->frameRate() > 0 ? input_->frameRate() : kRecordedRate;
        period_ = std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(1.0 / rate));
    }

    std::optional<JpegPart> next() override
    {
        std::shared_ptr<const CameraFrame> frame = std::exchange(first_, nullptr);
        if (frame == nullptr) {
            if (stop_.waitUntil(start_ + period_ * sent_))
                return std::nullopt;
            if (input_->read(frame) != AvVideoInput::Read::Frame || frame->jpegBytes().isEmpty())
                return std::nullopt;
        } else {
            start_ = std::chrono::steady_clock::now();
        }
        ++sent_;
        const QByteArrayView bytes = frame->jpegBytes();
        return JpegPart{std::move(frame), bytes};
    }

private:
    std::unique_ptr<AvVideoInput> input_;
    std::shared_ptr<const CameraFrame> first_;
    const StopSignal& stop_;
    std::chrono::steady_clock::duration period_{};
    std::chrono::steady_clock::time_point start_;
    int64_t sent_ = 0;
};

}  // namespace

std::unique_ptr<JpegSource> clipSource(const QString& path, const StopSignal& stop, QString& why)
{
    auto input = std::make_unique<AvVideoInput>();
    std::shared_ptr<const CameraFrame> first;
    if (!input->open(path) || input->read(first) != AvVideoInput::Read::Frame) {
        why = QStringLiteral("The clip cannot be read.");
        return nullptr;
    }
    if (first->jpegBytes().isEmpty()) {
        why = QStringLiteral("The clip is not MJPEG; download it instead.");
        return nullptr;
    }
    return std::make_unique<ClipSource>(std::move(input), std::move(first), stop);
}
