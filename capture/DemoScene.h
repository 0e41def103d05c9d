#pragma once

#include "capture/CameraFrame.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <memory>

// What the demo camera's source dialog adjusts.
struct DemoSceneParams {
    int brightness = 0;              // -100..100, added to every colour
    int intruderPeriodSeconds = 30;  // the intruder comes once per period
    int noise = 3;                   // sensor noise amplitude per colour, 0..20
};

// The demo camera's picture: a still room with mild sensor noise, crossed by an
// intruder for kIntruderVisibleMs at the end of every period. The same scene time
// always gives the same picture.
class DemoScene {
public:
    static constexpr int64_t kIntruderVisibleMs = 3000;
    static constexpr int64_t kFrameMs = 66;

    // The frame at `sceneMs`, drawn only when its picture is asked for.
    std::shared_ptr<const CameraFrame> frame(QSize size, int64_t sceneMs, const DemoSceneParams& params);

    // Where the intruder is, 0 (entering left) .. 1 (leaving right); negative when absent.
    static double intruderProgress(int64_t sceneMs, int periodSeconds);

private:
    const QImage& room(QSize size, int brightness);

    QImage room_;
    int roomBrightness_ = 0;
};
