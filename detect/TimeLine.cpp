#include "detect/TimeLine.h"

#include <algorithm>
#include <cmath>

TimeLine::TimeLine()
    : picTimeLine(kWidth, kHeight, QImage::Format_RGB32)
{
    picTimeLine.fill(Qt::black);
}

int TimeLine::slotX(QTime time)
{
    return 20 + (time.hour() * 60 + time.minute()) / 12;
}

int TimeLine::barTop(int32_t count, int16_t alarmCount)
{
    // With no alarm count every count is at or above it: a full bar, where
    // the plain formula would divide by zero.
    if (alarmCount == 0)
        return kTopY;
    const double level = std::nearbyint((1.0 - double(count) / alarmCount) * kBaseY);
    // Held in range before narrowing, so large counts cannot overflow it.
    return static_cast<int>(std::clamp(level, double(kTopY), double(kBaseY)));
}

void TimeLine::drawBar(int x, int top, QRgb colour)
{
    for (int y = kBaseY; y > top; --y)
        reinterpret_cast<QRgb*>(picTimeLine.scanLine(y))[x] = colour;
}

void TimeLine::sDrawTimeLine(int32_t count, int16_t alarmCount, AlarmLevel level, QTime now)
{
    const int top = barTop(count, alarmCount);
    const int x = slotX(now);
    if (x != LastColumn) {
        // The slot still holds its bar from 24 hours ago.
        drawBar(x, kTopY, qRgb(0, 0, 0));
        LastColumn = static_cast<int16_t>(x);
    }
    drawBar(x, top, timeLineColour(level));
    markerLeft_ = x - 4;
    clockText_ = now.toString(QStringLiteral("hh:mm:ss"));
}
