#include "capture/DemoScene.h"

#include "capture/DemoNoise.h"

#include <algorithm>
#include <cmath>

namespace {

// Shapes are placed in fractions of the picture so every size shows the same room.
struct Box {
    double left, top, right, bottom;
};

QRgb shade(QRgb colour, int delta)
{
    auto channel = [delta](int value) { return std::clamp(value + delta, 0, 255); };
    return qRgb(channel(qRed(colour)), channel(qGreen(colour)), channel(qBlue(colour)));
}

void fillBox(QImage& image, Box box, QRgb colour)
{
    const int x0 = std::clamp(static_cast<int>(box.left * image.width()), 0, image.width());
    const int x1 = std::clamp(static_cast<int>(box.right * image.width()), 0, image.width());
    const int y0 = std::clamp(static_cast<int>(box.top * image.height()), 0, image.height());
    const int y1 = std::clamp(static_cast<int>(box.bottom * image.height()), 0, image.height());
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + x0, line + x1, colour);
    }
}

void fillEllipse(QImage& image, Box box, QRgb colour)
{
    const double cx = (box.left + box.right) / 2 * image.width();
    const double cy = (box.top + box.bottom) / 2 * image.height();
    const double rx = (box.right - box.left) / 2 * image.width();
    const double ry = (box.bottom - box.top) / 2 * image.height();
    if (rx <= 0 || ry <= 0)
        return;
    const int y0 = std::max(0, static_cast<int>(cy - ry));
    const int y1 = std::min(image.height(), static_cast<int>(cy + ry) + 1);
    for (int y = y0; y < y1; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        if (dy * dy > 1)
            continue;
        const double half = rx * std::sqrt(1 - dy * dy);
        const int x0 = std::clamp(static_cast<int>(cx - half), 0, image.width());
        const int x1 = std::clamp(static_cast<int>(cx + half), 0, image.width());
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + x0, line + x1, colour);
    }
}

void drawRoom(QImage& image, int brightness)
{
    const int height = image.height();
    const int wallEnd = height * 62 / 100;
    // Wall with a soft vertical gradient, then a wooden floor in planks.
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        QRgb colour;
        if (y < wallEnd)
            colour = qRgb(214 - 30 * y / height, 200 - 30 * y / height, 170 - 24 * y / height);
        else
            colour = ((y - wallEnd) * 12 / height) % 2 ? qRgb(128, 86, 52) : qRgb(140, 95, 58);
        std::fill(line, line + image.width(), shade(colour, brightness));
    }
    fillBox(image, {0.08, 0.12, 0.36, 0.46}, shade(qRgb(235, 235, 235), brightness));  // window frame
    fillBox(image, {0.10, 0.15, 0.34, 0.43}, shade(qRgb(150, 190, 225), brightness));  // sky
    fillBox(image, {0.215, 0.15, 0.225, 0.43}, shade(qRgb(235, 235, 235), brightness));
    fillBox(image, {0.72, 0.18, 0.90, 0.62}, shade(qRgb(110, 72, 44), brightness));   // door
    fillEllipse(image, {0.86, 0.39, 0.88, 0.42}, shade(qRgb(220, 190, 80), brightness));
    fillBox(image, {0.45, 0.20, 0.60, 0.32}, shade(qRgb(60, 90, 60), brightness));    // picture
    fillBox(image, {0.40, 0.66, 0.68, 0.70}, shade(qRgb(90, 60, 40), brightness));    // table top
    fillBox(image, {0.42, 0.70, 0.44, 0.88}, shade(qRgb(80, 52, 34), brightness));
    fillBox(image, {0.64, 0.70, 0.66, 0.88}, shade(qRgb(80, 52, 34), brightness));
}

void drawIntruder(QImage& image, double progress, int brightness)
{
    // A figure close to the camera, so it changes a large part of the picture.
    const double centre = -0.25 + 1.5 * progress;
    const QRgb coat = shade(qRgb(25, 25, 40), brightness);
    const QRgb trousers = shade(qRgb(60, 90, 170), brightness);
    fillEllipse(image, {centre - 0.08, 0.04, centre + 0.08, 0.26}, shade(qRgb(200, 160, 130), brightness));
    fillBox(image, {centre - 0.20, 0.24, centre + 0.20, 0.72}, coat);
    fillBox(image, {centre - 0.16, 0.72, centre - 0.01, 1.0}, trousers);
    fillBox(image, {centre + 0.01, 0.72, centre + 0.16, 1.0}, trousers);
}

// A frame of the scene: the room (shared, drawn once per size and brightness)
// and what changes in it, put together when the picture is asked for.
class DemoFrame final : public CameraFrame {
public:
    DemoFrame(QImage room, double intruderProgress, const DemoSceneParams& params, uint64_t noiseSeed)
        : CameraFrame(room.size()), room_(std::move(room)), intruderProgress_(intruderProgress), params_(params),
          noiseSeed_(noiseSeed)
    {
    }

protected:
    QImage decode() const override
    {
        QImage frame = room_.copy();
        if (intruderProgress_ >= 0)
            drawIntruder(frame, intruderProgress_, params_.brightness);
        addDemoNoise(frame, params_.noise, noiseSeed_);
        return frame;
    }

private:
    QImage room_;
    double intruderProgress_;
    DemoSceneParams params_;
    uint64_t noiseSeed_;
};

}  // namespace

double DemoScene::intruderProgress(int64_t sceneMs, int periodSeconds)
{
    const int64_t periodMs = std::max<int64_t>(periodSeconds, 1) * 1000;
    const int64_t enterMs = periodMs - std::min(kIntruderVisibleMs, periodMs);
    const int64_t phase = ((sceneMs % periodMs) + periodMs) % periodMs;
    if (phase < enterMs)
        return -1;
    return static_cast<double>(phase - enterMs) / static_cast<double>(periodMs - enterMs);
}

const QImage& DemoScene::room(QSize size, int brightness)
{
    if (room_.size() != size || roomBrightness_ != brightness) {
        room_ = QImage(size, QImage::Format_RGB32);
        roomBrightness_ = brightness;
        drawRoom(room_, brightness);
    }
    return room_;
}

std::shared_ptr<const CameraFrame> DemoScene::frame(QSize size, int64_t sceneMs, const DemoSceneParams& params)
{
    // One noise pattern per frame period, so a given scene time always looks the same.
    return std::make_shared<DemoFrame>(room(size, params.brightness),
                                       intruderProgress(sceneMs, params.intruderPeriodSeconds), params,
                                       static_cast<uint64_t>(sceneMs / kFrameMs));
}
