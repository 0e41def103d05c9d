// The detector on camera footage made by ffmpeg: even changes of the light told
// from people, and a mask that keeps tossing leaves out of the count.
#include "detect/AlarmLevel.h"
#include "detect/FrameDetector.h"
#include "detect/MaskFile.h"
#include "tests/support/Footage.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kAccuracy = 20;
constexpr int16_t kAlarmCount = 50;

// A mask of `size` with `weight` everywhere but the cells listed.
QImage maskOf(QSize size, uint8_t weight, std::initializer_list<std::tuple<int, int, uint8_t>> cells = {})
{
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(weight);
    for (const auto& [x, y, cell] : cells)
        mask.scanLine(y)[x] = cell;
    return mask;
}

struct Tick {
    int32_t count;
    QImage difference;
    LightLevel level;
};

// One tick per compared frame; the mask goes through the file, as the window and the editor hand it over.
std::vector<Tick> watch(const std::vector<QImage>& frames, const QImage& mask, bool lightCut = false)
{
    QTemporaryDir folder;
    FrameDetector detector;
    if (!mask.isNull()) {
        const QString path = folder.filePath(QStringLiteral("mask.pgm"));
        EXPECT_TRUE(writeMaskFile(path, mask));
        detector.setMask(readMaskFile(path).weights);
    }
    std::vector<Tick> ticks;
    bool skipCompare = false;
    for (const QImage& frame : frames) {
        const auto result = detector.measureFrame(frame, kAccuracy, false, skipCompare);
        if (result && result->compared)
            ticks.push_back({result->count, detector.differenceImage().copy(),
                             classifyTick(result->count, kAlarmCount, lightCut, [&] { return detector.lightChange(); })});
    }
    return ticks;
}

bool alarms(const std::vector<Tick>& ticks, size_t from = 0, size_t to = SIZE_MAX)
{
    return std::any_of(ticks.begin() + long(std::min(from, ticks.size())), ticks.begin() + long(std::min(to, ticks.size())),
                       [](const Tick& tick) { return tick.level.level == AlarmLevel::Alarm; });
}

std::vector<QImage> footageFrames(const QTemporaryDir& folder, const Footage& footage)
{
    const QString path = folder.filePath(QStringLiteral("footage.avi"));
    EXPECT_TRUE(makeFootage(path, footage));
    std::vector<QImage> frames = decodeFrames(path, footage.size);
    EXPECT_GE(frames.size(), 25u);
    return frames;
}

// The masks are of other sizes than the frame: 2 x 6 cells put the leaves in cell (0, 0).
const QImage kLeavesOut = maskOf({2, 6}, 255, {{0, 0, 0}});

// With the light rule on, only the scenes with a person alarm; with a mask, the
// rule judges what the mask watches, so the leaves do not make a change uneven.
TEST(LightChange, FootageOfLightStepFadeAndWalker)
{
    const struct {
        const char* name;
        Footage footage;
        bool alarmsWithLightCut;
        QImage mask;
    } scenes[] = {
        {"light step +40", {.light = "eq=brightness=0.157:enable='gte(t,3)'"}, false, {}},
        {"slow fade", {.light = "fade=out:st=1:d=4"}, false, {}},
        {"walker", {.light = {}, .walkerFrom = 0.5}, true, {}},
        {"walker while the light comes on", {.light = "eq=brightness=0.157:enable='gte(t,1.4)'", .walkerFrom = 0.5}, true, {}},
        {"light step by masked leaves", {.light = "eq=brightness=0.157:enable='gte(t,3)'", .leaves = true}, false, kLeavesOut},
    };
    QTemporaryDir folder;
    for (const auto& scene : scenes) {
        SCOPED_TRACE(scene.name);
        const std::vector<QImage> frames = footageFrames(folder, scene.footage);
        const std::vector<Tick> off = watch(frames, scene.mask), on = watch(frames, scene.mask, true);
        ASSERT_EQ(on.size(), off.size());
        EXPECT_TRUE(alarms(off)) << "as without the option";
        EXPECT_EQ(alarms(on), scene.alarmsWithLightCut);
        for (size_t i = 0; i < on.size(); ++i) {
            EXPECT_FALSE(off[i].level.lightOnly);
            // Steady light: every tick as without the option.
            EXPECT_TRUE(!scene.footage.light.isEmpty() || on[i].level.level == off[i].level.level) << "tick " << i;
        }
        EXPECT_EQ(std::any_of(on.begin(), on.end(), [](const Tick& tick) { return tick.level.lightOnly; }),
                  !scene.alarmsWithLightCut);
    }
}

// Leaves toss in the top left corner all the time; from 2 s a walker crosses below them.
TEST(Mask, FootageOfLeavesAndWalker)
{
    QTemporaryDir folder;
    const std::vector<QImage> frames = footageFrames(folder, {.light = {}, .walkerFrom = 2, .leaves = true});
    const size_t walkerTick = 2 * 5 - 1;

    const std::vector<Tick> whole = watch(frames, QImage());
    EXPECT_TRUE(alarms(whole, 0, walkerTick)) << "the leaves alarm without a mask";

    const std::vector<Tick> allCounted = watch(frames, maskOf({3, 3}, 255));
    ASSERT_EQ(allCounted.size(), whole.size());
    for (size_t i = 0; i < whole.size(); ++i) {
        EXPECT_EQ(allCounted[i].count, whole[i].count) << "tick " << i;
        EXPECT_EQ(allCounted[i].difference, whole[i].difference) << "tick " << i;
    }

    const std::vector<Tick> leavesOut = watch(frames, kLeavesOut);
    EXPECT_FALSE(alarms(leavesOut, 0, walkerTick)) << "masked, the leaves never alarm";
    EXPECT_TRUE(alarms(leavesOut, walkerTick)) << "the walker still does";
    // Ignored bytes are never written: the scope shows them black.
    const QImage& difference = leavesOut.front().difference;
    EXPECT_EQ(difference.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(difference.pixel(difference.width() / 2 - 1, difference.height() / 6 - 1), qRgb(0, 0, 0));

    const std::vector<Tick> walkerHalf = watch(frames, maskOf({2, 6}, 128, {{0, 0, 0}}));
    ASSERT_EQ(walkerHalf.size(), leavesOut.size());
    int32_t highest = 0;
    for (size_t i = 0; i < leavesOut.size(); ++i) {
        EXPECT_NEAR(walkerHalf[i].count, leavesOut[i].count * 128.0 / 255.0, 1.0) << "tick " << i;
        highest = std::max(highest, leavesOut[i].count);
    }
    EXPECT_GT(highest, 4 * kAlarmCount) << "the walker's counts are large enough to show the halving";
}

}  // namespace
