// The light rule on synthetic frames: even changes of the whole picture are told from people.
#include "detect/LightChange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// A textured picture: every colour of every pixel different from its neighbours.
QImage texturedFrame(QSize size = {96, 72})
{
    QImage frame(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            frame.setPixel(x, y, qRgb(40 + (x * 7 + y * 3) % 150, 30 + (x * 5 + y * 11) % 160, 50 + (x * 13 + y) % 120));
    return frame;
}

// Each colour byte mapped through `change`.
QImage mapped(const QImage& frame, const std::function<int(int)>& change)
{
    QImage result = frame.copy();
    for (int y = 0; y < result.height(); ++y) {
        uint8_t* line = result.scanLine(y);
        for (int x = 0; x < result.width(); ++x)
            for (int channel = 0; channel < 3; ++channel)
                line[4 * x + channel] = static_cast<uint8_t>(std::clamp(change(line[4 * x + channel]), 0, 255));
    }
    return result;
}

// The frame with its left `sixteenths` of the width replaced by light and dark stripes.
QImage withPerson(const QImage& frame, int sixteenths)
{
    QImage result = frame.copy();
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width() * sixteenths / 16; ++x)
            result.setPixel(x, y, (x / 2 + y / 3) % 2 ? qRgb(230, 220, 200) : qRgb(20, 25, 30));
    return result;
}

// Frames that cannot be compared (none, other sizes or formats, no change)
// are no light change; the tiniest frame still makes blocks of single pixels.
TEST(LightChange, EvenChangesAreToldFromLocalOnes)
{
    const QImage scene = texturedFrame();
    const QImage tiny = texturedFrame({3, 2});
    QImage wall(96, 72, QImage::Format_RGB32);  // one colour: a gain cannot be told from an offset
    wall.fill(qRgb(90, 100, 110));
    const auto plus = [](int step) { return [step](int v) { return v + step; }; };
    const struct {
        const char* what;
        QImage before, after;
        bool even;
        double mostUnexplained;  // the unexplained share is at most this
        double leastUnexplained;
    } rows[] = {
        {"lights up by 40", scene, mapped(scene, plus(40)), true, 0.02, 0},
        {"exposure down by a third", scene, mapped(scene, [](int v) { return v * 2 / 3; }), true, 0.02, 0},
        {"brighter and more contrast", scene, mapped(scene, [](int v) { return v * 5 / 4 + 10; }), true, 0.02, 0},
        {"a drift of one level is no light change", scene, mapped(scene, plus(1)), false, 0.02, 0},
        {"two levels are", scene, mapped(scene, plus(2)), true, 0.02, 0},
        {"a plain wall lights up", wall, mapped(wall, plus(40)), true, 0.02, 0},
        // The fit is made again on the better half of the blocks: a person on half the picture is
        // left out of it, one on more bends it.
        {"a person on half the picture, light steady", scene, withPerson(scene, 8), false, 1, 0.99},
        {"a person on more than half", scene, withPerson(scene, 9), true, 0.96, 0.9},
        {"no frame before", QImage(), mapped(scene, plus(40)), false, 1, 0},
        {"another size", scene, texturedFrame({48, 36}), false, 1, 0},
        {"another format", scene.convertToFormat(QImage::Format_ARGB32), mapped(scene, plus(40)), false, 1, 0},
        {"no change", scene, scene, false, 1, 0},
        {"tiny, a drift", tiny, mapped(tiny, plus(1)), false, 1, 0},
        {"tiny, lights up", tiny, mapped(tiny, plus(40)), true, 1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const LightChange light = measureLightChange(row.before, row.after);
        EXPECT_EQ(light.even, row.even);
        EXPECT_LE(light.unexplainedShare, row.mostUnexplained);
        EXPECT_GE(light.unexplainedShare, row.leastUnexplained);
    }
}

TEST(LightChange, TickLevelMeasuresLightOnlyWhenAskedAndAboveCalm)
{
    using enum AlarmLevel;
    const LightChange lightOnly{true, 0.05};
    const LightChange personInLight{true, 0.6};
    const LightChange uneven{false, 0.05};
    const struct {
        const char* what;
        int32_t count;
        bool lightCut;
        LightChange light;
        bool measured;
        AlarmLevel level;
        bool calmedByLight;
    } rows[] = {
        {"option off: the count's level", 500, false, lightOnly, false, Alarm, false},
        {"calm count: nothing measured", 80, true, lightOnly, false, Calm, false},
        {"even change explains the count", 500, true, lightOnly, true, Calm, true},
        {"even change, doubt left", 1700, true, lightOnly, true, Doubt, false},
        {"person in the light alarms on their own part", 500, true, personInLight, true, Alarm, false},
        {"uneven change keeps its level", 95, true, uneven, true, Suspect, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        bool measured = false;
        const LightLevel level = classifyTick(row.count, 100, row.lightCut, [&] {
            measured = true;
            return row.light;
        });
        EXPECT_EQ(measured, row.measured);
        EXPECT_EQ(level.level, row.level);
        EXPECT_EQ(level.lightOnly, row.calmedByLight);
    }
}

}  // namespace
