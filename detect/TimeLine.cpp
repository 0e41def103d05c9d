#include "detect/TimeLine.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSlotMinutes = 12;
constexpr qint64 kDaySeconds = 24 * 60 * 60;

}  // namespace

TimeLine::TimeLine()
    : picTimeLine(kWidth, kHeight, QImage::Format_RGB32)
{
    picTimeLine.fill(Qt::black);
}

int TimeLine::slotX(QTime time)
{
    return kFirstX + (time.hour() * 60 + time.minute()) / kSlotMinutes;
}

QDateTime TimeLine::slotStart(const QDateTime& moment)
{
    const QDateTime local = moment.toLocalTime();
    const QTime time = local.time();
    return QDateTime(local.date(), QTime(time.hour(), time.minute() - time.minute() % kSlotMinutes));
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

void TimeLine::addBar(TimeLineSlot& slot, TimeLineBar bar)
{
    std::erase_if(slot.bars, [&](const TimeLineBar& earlier) { return earlier.top >= bar.top; });
    slot.bars.push_back(bar);
}

void TimeLine::sDrawTimeLine(int32_t count, int16_t alarmCount, AlarmLevel level, const QDateTime& now)
{
    const int top = barTop(count, alarmCount);
    const int x = slotX(now.time());
    TimeLineSlot& slot = slots_[size_t(x - kFirstX)];
    if (x != LastColumn) {
        // The slot still holds its bar from 24 hours ago.
        drawBar(x, kTopY, qRgb(0, 0, 0));
        LastColumn = static_cast<int16_t>(x);
        slot.bars.clear();
    }
    slot.start = slotStart(now);
    addBar(slot, {top, level});
    drawBar(x, top, timeLineColour(level));
    markerLeft_ = x - 4;
    clockText_ = now.toString(QStringLiteral("hh:mm:ss"));
}

bool TimeLine::isRecent(const QDateTime& start, const QDateTime& now)
{
    const qint64 age = start.secsTo(now);
    return start.isValid() && age >= 0 && age < kDaySeconds;
}

std::vector<TimeLineSlot> TimeLine::recentSlots(const QDateTime& now) const
{
    std::vector<TimeLineSlot> recent;
    std::copy_if(slots_.begin(), slots_.end(), std::back_inserter(recent),
                 [&](const TimeLineSlot& slot) { return !slot.bars.empty() && isRecent(slot.start, now); });
    std::sort(recent.begin(), recent.end(),
              [](const TimeLineSlot& a, const TimeLineSlot& b) { return a.start < b.start; });
    return recent;
}

void TimeLine::restore(const std::vector<TimeLineSlot>& kept, const QDateTime& now)
{
    QDateTime newest;
    for (const TimeLineSlot& earlier : kept) {
        const QDateTime start = slotStart(earlier.start);
        if (!isRecent(start, now))
            continue;
        const int x = slotX(start.time());
        TimeLineSlot& slot = slots_[size_t(x - kFirstX)];
        // Two kept slots in one column: the later one is the one the chart showed.
        if (slot.start.isValid() && slot.start > start)
            continue;
        drawBar(x, kTopY, qRgb(0, 0, 0));
        slot = {start, {}};
        for (const TimeLineBar& bar : earlier.bars) {
            const int top = std::clamp(bar.top, kTopY, kBaseY);
            addBar(slot, {top, bar.level});
            drawBar(x, top, timeLineColour(bar.level));
        }
        if (!newest.isValid() || start > newest) {
            newest = start;
            LastColumn = static_cast<int16_t>(x);
        }
    }
}
