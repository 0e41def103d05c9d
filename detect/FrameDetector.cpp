#include "detect/FrameDetector.h"

#include "detect/FrameCompare.h"

#include <cmath>
#include <limits>
#include <utility>

bool FrameDetector::canCompareWith(const BITMAP& header, bool skipCompare) const
{
    // The row width in pixels is not compared: the stride covers it.
    return RefReady && !skipCompare && !resumed_ && header.bmType == RefHeader.bmType
           && header.bmHeight == RefHeader.bmHeight
           && header.bmWidthBytes == RefHeader.bmWidthBytes
           && header.bmPlanes == RefHeader.bmPlanes
           && header.bmBitsPixel == RefHeader.bmBitsPixel && header.bmBits == RefHeader.bmBits;
}

uint8_t* FrameDetector::differenceBuffer(const QImage& frame, uint32_t opaque)
{
    if (!keepDifferences_)
        return nullptr;
    // Someone (the scope) may still hold the last difference picture: write into the spare then.
    if (!DiffBits.isDetached())
        std::swap(DiffBits, DiffSpare);
    if (DiffBits.size() != frame.size() || DiffBits.format() != frame.format()) {
        DiffBits = QImage(frame.size(), frame.format());
        // The mask's ignored bytes are never written: they stay black.
        if (mask_)
            DiffBits.fill(opaque);
    }
    return DiffBits.bits();
}

double FrameDetector::compare(const QImage& frame, bool noise, unsigned threshold)
{
    // RGB32's fourth byte must stay 0xFF or painters treat the scope as transparent.
    const uint32_t opaque = frame.format() == QImage::Format_RGB32 ? 0xFF000000u : 0u;
    const FrameComparison job{RefBits.constBits(), frame.constBits(), differenceBuffer(frame, opaque),
                              static_cast<size_t>(frame.sizeInBytes()), noise, threshold, opaque};
    if (!mask_)
        return static_cast<double>(compareFrames(job));
    // Exact for all-255: 255 x an integer sum divides back to that sum.
    return static_cast<double>(compareFramesWeighted(job, mask_->runsFor(frame))) / 255.0;
}

void FrameDetector::setMask(const QImage& weights)
{
    if (weights.isNull() ? !mask_ : mask_ && mask_->picture() == weights)
        return;
    if (weights.isNull())
        mask_.reset();
    else
        mask_.emplace(weights);
    // Buffers written under another mask hold differences where this one ignores.
    DiffBits = QImage();
    DiffSpare = QImage();
}

void FrameDetector::keepDifferences(bool keep)
{
    keepDifferences_ = keep;
    if (!keep) {
        DiffBits = QImage();
        DiffSpare = QImage();
    }
}

void FrameDetector::keepComparedReference(bool keep)
{
    keepComparedRef_ = keep;
    if (!keep)
        ComparedRef = QImage();
}

LightChange FrameDetector::lightChange()
{
    if (!mask_ || ViewA.isNull())
        return measureLightChange(ComparedRef, ViewA);
    return measureLightChange(ComparedRef, ViewA, mask_->weightsFor(ViewA));
}

std::optional<DetectionResult> FrameDetector::measureFrame(const QImage& frame, int accuracy, bool noise,
                                                           bool& skipCompare)
{
    ViewA = frame;
    const BITMAP header = frameHeader(frame);
    const int64_t frameSize = int64_t{header.bmHeight} * header.bmWidthBytes;
    if (frameSize > std::numeric_limits<int32_t>::max())
        return std::nullopt;

    DetectionResult result;
    double sum = 0;
    if (canCompareWith(header, skipCompare)) {
        sum = compare(frame, noise, header.bmBitsPixel);
        result.compared = true;
    }

    skipCompare = false;
    // Only the light rule needs the previous frame past its tick.
    ComparedRef = result.compared && keepComparedRef_ ? RefBits : QImage();
    resumed_ = false;
    RefBits = frame;
    RefHeader = header;
    RefReady = true;

    // An empty frame has no mean: the tick ends without a count.
    if (frameSize == 0)
        return std::nullopt;
    const double count =
        std::nearbyint(sum / static_cast<double>(frameSize) * accuracy);
    if (!(count >= std::numeric_limits<int32_t>::min()
          && count <= std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    result.count = static_cast<int32_t>(count);
    return result;
}

QString formatDetectionCount(int32_t count)
{
    QString digits = QString::number(std::abs(int64_t{count})).rightJustified(3, u'0');
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return count < 0 ? u'-' + digits : digits;
}
