#include "detect/FrameDetector.h"

#include "settings/Settings.h"

std::optional<DetectionResult> FrameDetector::sDetectFrame(CaptureWindow* window, bool& skipCompare)
{
    capGrabFrame(window);
    const bool copied = capEditCopy(window);
    // Grabbing stops the live picture; bring it back whatever the grab gave.
    capPreview(window, true);
    if (!copied)
        return std::nullopt;
    // A camera that delivered nothing since the last tick (a stalled stream) has
    // nothing to compare; one that was lost and came back starts afresh.
    const FrameStamp grabbed = window->grabbedFrameStamp();
    if (RefReady && grabbed == RefStamp) {
        frameBufferClear();
        return std::nullopt;
    }
    resumed_ = RefReady && grabbed.reader == RefStamp.reader && grabbed.opening != RefStamp.opening;
    RefStamp = grabbed;

    if (!frameBufferHasFrame())
        return std::nullopt;

    const QImage frame = frameBufferFrame();
    frameBufferClear();
    return measureFrame(frame, Settings.COM.ACCURACY, Settings.COM.NOIZE, skipCompare);
}
