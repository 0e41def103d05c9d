#include "detect/DetectionMask.h"

#include <limits>
#include <utility>

namespace {

MaskShares sharesOf(const QImage& picture)
{
    qint64 ignored = 0;
    qint64 partial = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const uint8_t* line = picture.constScanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            ignored += line[x] == 0;
            partial += line[x] != 0 && line[x] != 255;
        }
    }
    const double pixels = double(picture.width()) * double(picture.height());
    return pixels > 0 ? MaskShares{double(ignored) / pixels, double(partial) / pixels} : MaskShares{};
}

void append(std::vector<WeightRun>& runs, uint64_t bytes, uint8_t weight)
{
    if (!runs.empty() && runs.back().weight == weight
        && runs.back().bytes + bytes <= std::numeric_limits<uint32_t>::max()) {
        runs.back().bytes += static_cast<uint32_t>(bytes);
        return;
    }
    runs.push_back({static_cast<uint32_t>(bytes), weight});
}

}  // namespace

QImage stretchedMask(const QImage& weights, QSize size)
{
    QImage stretched(size, QImage::Format_Grayscale8);
    if (weights.isNull() || stretched.isNull())
        return stretched;
    const QImage grey = weights.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < size.height(); ++y) {
        const uint8_t* source = grey.constScanLine(int(qint64{y} * grey.height() / size.height()));
        uint8_t* line = stretched.scanLine(y);
        for (int x = 0; x < size.width(); ++x)
            line[x] = source[qint64{x} * grey.width() / size.width()];
    }
    return stretched;
}

QImage maskTint(const QImage& weights)
{
    // Bright enough to show over the black of the difference picture, light
    // enough to let the scene show through.
    constexpr int kRed = 255, kGreen = 60, kBlue = 150, kMostOpaque = 120;
    const QImage grey = weights.convertToFormat(QImage::Format_Grayscale8);
    QImage tint(grey.size(), QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        const uint8_t* line = grey.constScanLine(y);
        auto* out = reinterpret_cast<QRgb*>(tint.scanLine(y));
        for (int x = 0; x < grey.width(); ++x)
            out[x] = qRgba(kRed, kGreen, kBlue, (255 - line[x]) * kMostOpaque / 255);
    }
    return tint;
}

DetectionMask::DetectionMask(QImage weights)
    : picture_(std::move(weights).convertToFormat(QImage::Format_Grayscale8)), shares_(sharesOf(picture_))
{
}

void DetectionMask::prepare(const QImage& frame)
{
    if (frame.size() == size_ && frame.bytesPerLine() == bytesPerLine_ && frame.depth() == depth_)
        return;
    size_ = frame.size();
    bytesPerLine_ = frame.bytesPerLine();
    depth_ = frame.depth();
    stretched_ = stretchedMask(picture_, size_);
    runs_.clear();
    const int pixelBytes = depth_ / 8;
    for (int y = 0; y < size_.height(); ++y) {
        const uint8_t* line = stretched_.constScanLine(y);
        for (int x = 0; x < size_.width(); ++x)
            append(runs_, uint64_t(pixelBytes), line[x]);
        if (size_.width() > 0 && bytesPerLine_ > qsizetype{pixelBytes} * size_.width())
            append(runs_, uint64_t(bytesPerLine_ - qsizetype{pixelBytes} * size_.width()), line[size_.width() - 1]);
    }
}

std::span<const WeightRun> DetectionMask::runsFor(const QImage& frame)
{
    prepare(frame);
    return runs_;
}

const QImage& DetectionMask::weightsFor(const QImage& frame)
{
    prepare(frame);
    return stretched_;
}
