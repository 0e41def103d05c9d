#pragma once

#include "detect/FrameCompare.h"

#include <QImage>
#include <QSize>

#include <span>
#include <vector>

// The picture of weights stretched to a size: each pixel takes the weight of
// the mask pixel it falls on (no blending), as the detector applies it.
QImage stretchedMask(const QImage& weights, QSize size);

// The mask as it is shown over a picture: each weight's pixel tinted in
// proportion to how much it is ignored (ARGB32, the weights' size; drawn
// stretched over the picture without smoothing, so cells keep their edges).
QImage maskTint(const QImage& weights);

// How much of the picture a mask leaves out, each share 0..1 of its pixels.
struct MaskShares {
    double ignored = 0;  // weight 0
    double partial = 0;  // weights 1..254
};

// A mask as the detector uses it on frames of one geometry at a time; what a
// geometry needs is made when it first comes and kept while it stays.
class DetectionMask {
public:
    // A grey picture of weights (Format_Grayscale8) of any size.
    explicit DetectionMask(QImage weights);

    const QImage& picture() const { return picture_; }
    MaskShares shares() const { return shares_; }

    // Runs over the frame's bytes: each pixel's bytes carry its weight, the
    // bytes past a row's last pixel that pixel's weight.
    std::span<const WeightRun> runsFor(const QImage& frame);
    // One weight per pixel of the frame (Format_Grayscale8).
    const QImage& weightsFor(const QImage& frame);

private:
    void prepare(const QImage& frame);

    QImage picture_;
    MaskShares shares_;
    QSize size_;
    qsizetype bytesPerLine_ = -1;
    int depth_ = 0;
    QImage stretched_;
    std::vector<WeightRun> runs_;
};
