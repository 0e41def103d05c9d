#pragma once

#include "capture/CaptureWindow.h"
#include "capture/Frame.h"
#include "detect/DetectionMask.h"
#include "detect/LightChange.h"

#include <QImage>

#include <cstdint>
#include <optional>

// What one detector tick measured.
struct DetectionResult {
    int32_t count = 0;      // mean absolute byte difference x accuracy, ties to even; with a
                            // mask, each difference x its weight / 255 before the mean
    bool compared = false;  // false: first frame, new geometry or SkipCompare; count is 0
};

// The frame-difference detector: keeps the previous frame as the reference
// and turns each new frame into a detection count.
class FrameDetector {
public:
    // One tick from grabbing to the count. nullopt when the tick has no count
    // (no frame obtained, no new frame since the last tick, or a frame that
    // cannot be measured); the caller then just re-arms its timer. Reads
    // ACCURACY and NOIZE from Settings. `skipCompare` (the watcher's
    // SkipCompare) true: no comparison; a measured frame clears it.
    std::optional<DetectionResult> sDetectFrame(CaptureWindow* window, bool& skipCompare);

    // The measuring part of a tick, for a frame already obtained.
    std::optional<DetectionResult> measureFrame(const QImage& frame, int accuracy, bool noise, bool& skipCompare);

    // Weights every later comparison by the grey picture, stretched to the
    // frame; a null picture compares the whole frame as described.
    void setMask(const QImage& weights);
    // What a comparison keeps beyond its count, a frame's memory each: the
    // difference picture (for a scope that shows it) and the reference it was
    // compared with (for the light rule). Both are kept unless told otherwise;
    // without them differenceImage() and lightChange() have nothing to give.
    void keepDifferences(bool keep);
    void keepComparedReference(bool keep);
    // The mask in use, null when none.
    const DetectionMask* mask() const { return mask_ ? &*mask_ : nullptr; }

    // The difference image of the last comparison (what the scope shows), null while none is kept.
    const QImage& differenceImage() const { return DiffBits; }
    // The last frame obtained, kept as the snapshot the alarm mail sends.
    const QImage& latestFrame() const { return ViewA; }
    // How an even change of the light explains the last tick's change; no
    // light change when that tick did not compare.
    // With a mask, only what it watches is judged.
    LightChange lightChange();
    const BITMAP& referenceHeader() const { return RefHeader; }
    bool referenceReady() const { return RefReady; }

private:
    bool canCompareWith(const BITMAP& header, bool skipCompare) const;
    // The sum of the byte differences, each weighted by the mask when there is one.
    double compare(const QImage& frame, bool noise, unsigned threshold);
    // Where this comparison writes its differences; null when none are kept.
    uint8_t* differenceBuffer(const QImage& frame, uint32_t opaque);

    BITMAP RefHeader;
    bool RefReady = false;
    FrameStamp RefStamp;   // which camera frame the reference is
    bool resumed_ = false;  // the camera came back since the reference: do not compare
    QImage RefBits;  // shares the previous frame's pixels: no copy per tick
    QImage ComparedRef;  // the reference of the last comparison, for the light rule
    // Difference buffers reused while the geometry stays; the spare is taken
    // only while someone holds the last picture.
    QImage DiffBits;
    QImage DiffSpare;
    QImage ViewA;
    std::optional<DetectionMask> mask_;
    bool keepDifferences_ = true;
    bool keepComparedRef_ = true;
};

// The count as the main window shows it: at least three digits, thousands
// grouped ("#,000": 0 -> 000, 45 -> 045, 1234 -> 1,234).
QString formatDetectionCount(int32_t count);
