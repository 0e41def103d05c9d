#include "detect/FrameDetector.h"

#include "settings/Settings.h"

std::optional<DetectionResult> FrameDetector::sDetectFrame(CaptureWindow* window, bool& skipCompare)
{
    FrameStamp grabbed;
    const QImage frame = grabStillPicture(window, &grabbed);
    // Grabbing stops the live picture; bring it back whatever the grab gave.
    capPreview(window, true);
    if (frame.isNull())
        return std::nullopt;
    // A camera that delivered nothing since the last tick (a stalled stream) has
    // nothing to compare; one that was lost and came back starts afresh.
    if (RefReady && grabbed == RefStamp)
        return std::nullopt;
    resumed_ = RefReady && grabbed.reader == RefStamp.reader && grabbed.opening != RefStamp.opening;
    RefStamp = grabbed;
    return measureFrame(frame, Settings.COM.ACCURACY, Settings.COM.NOIZE, skipCompare);
}
