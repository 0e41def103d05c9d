// Masks: mask.pgm read, stretched and applied by the detector, on camera
// footage made by ffmpeg, and every damaged file told from a good one.
#include "detect/AlarmLevel.h"
#include "detect/FrameDetector.h"
#include "detect/MaskFile.h"
#include "tests/support/Footage.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstring>

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
};

// One tick per frame; the mask goes through the file, as the window and the editor hand it over.
std::vector<Tick> watch(const std::vector<QImage>& frames, const QImage& mask, bool lightCut = false,
                        std::vector<AlarmLevel>* levels = nullptr)
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
        if (!result || !result->compared)
            continue;
        ticks.push_back({result->count, detector.differenceImage().copy()});
        if (levels)
            levels->push_back(classifyTick(result->count, kAlarmCount, lightCut, [&] { return detector.lightChange(); }).level);
    }
    return ticks;
}

bool alarms(const std::vector<Tick>& ticks, size_t from, size_t to)
{
    for (size_t i = from; i < std::min(to, ticks.size()); ++i)
        if (classifyAlarm(ticks[i].count, kAlarmCount) == AlarmLevel::Alarm)
            return true;
    return false;
}

std::vector<QImage> footageFrames(const QTemporaryDir& folder, const Footage& footage)
{
    const QString path = folder.filePath(QStringLiteral("footage.avi"));
    EXPECT_TRUE(makeFootage(path, footage));
    return decodeFrames(path, footage.size);
}

// Leaves toss in the top left corner all the time; from 2 s a walker crosses below them.
// The masks are of other sizes than the frame: 2 x 6 cells put the leaves in cell (0, 0).
TEST(Mask, FootageOfLeavesAndWalker)
{
    QTemporaryDir folder;
    const std::vector<QImage> frames = footageFrames(folder, {.light = {}, .walkerFrom = 2, .leaves = true});
    ASSERT_GE(frames.size(), 25u);
    const size_t walkerTick = 2 * 5 - 1;

    const std::vector<Tick> whole = watch(frames, QImage());
    EXPECT_TRUE(alarms(whole, 0, walkerTick)) << "the leaves alarm without a mask";

    const std::vector<Tick> allCounted = watch(frames, maskOf({3, 3}, 255));
    ASSERT_EQ(allCounted.size(), whole.size());
    for (size_t i = 0; i < whole.size(); ++i) {
        EXPECT_EQ(allCounted[i].count, whole[i].count) << "tick " << i;
        EXPECT_EQ(allCounted[i].difference, whole[i].difference) << "tick " << i;
    }

    const std::vector<Tick> leavesOut = watch(frames, maskOf({2, 6}, 255, {{0, 0, 0}}));
    EXPECT_FALSE(alarms(leavesOut, 0, walkerTick)) << "masked, the leaves never alarm";
    EXPECT_TRUE(alarms(leavesOut, walkerTick, leavesOut.size())) << "the walker still does";
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

// The light rule judges what the mask watches: the leaves, masked, do not make a light change uneven.
TEST(Mask, LightRuleJudgesTheWatchedPartOnly)
{
    QTemporaryDir folder;
    const std::vector<QImage> frames =
        footageFrames(folder, {.light = "eq=brightness=0.157:enable='gte(t,3)'", .leaves = true});
    const QImage leavesOut = maskOf({2, 6}, 255, {{0, 0, 0}});
    for (bool lightCut : {false, true}) {
        SCOPED_TRACE(lightCut ? "light rule on" : "light rule off");
        std::vector<AlarmLevel> levels;
        watch(frames, leavesOut, lightCut, &levels);
        EXPECT_EQ(std::count(levels.begin(), levels.end(), AlarmLevel::Alarm), lightCut ? 0 : 1);
    }
}

QByteArray pgm(const QByteArray& header, int values, uint8_t value = 0x80)
{
    return header + QByteArray(values, static_cast<char>(value));
}

// A damaged file is never a mask; a good one in any of PGM's spellings is.
TEST(Mask, FilesThatCannotBeUsedAreToldFromGoodOnes)
{
    using enum MaskProblem;
    const struct {
        const char* what;
        QByteArray bytes;  // null: no file
        MaskProblem problem;
        uint8_t firstWeight = 0;
    } rows[] = {
        {"missing", QByteArray(), Missing},
        {"ASCII PGM", "P2\n2 2\n255\n1 2 3 4\n", NotBinaryPgm},
        {"a PNG", "\x89PNG\r\n\x1a\n", NotBinaryPgm},
        {"magic run into the width", pgm("P52 2\n255\n", 4), NotBinaryPgm},
        {"header cut short", "P5\n4 4\n", NotBinaryPgm},
        {"empty", "", NotBinaryPgm},
        {"16-bit", pgm("P5\n2 2\n65535\n", 8), NotEightBit},
        {"maximum 0", pgm("P5\n2 2\n0\n", 4), NotEightBit},
        {"no width", pgm("P5\n0 2\n255\n", 4), BadSize},
        {"absurd height", pgm("P5\n2 99999999999\n255\n", 4), BadSize},
        {"short data", pgm("P5\n4 4\n255\n", 15), ShortData},
        {"a value above the maximum", pgm("P5\n2 2\n15\n", 4, 16), BadValue},
        {"good, with comments and blanks", pgm("P5 # made by hand\n 2\t2 #\n255\r", 4, 7), None, 7},
        {"fewer levels are scaled", pgm("P5\n2 2\n1\n", 4, 1), None, 255},
        {"bytes after the values are left", pgm("P5\n2 1\n255\n", 9, 200), None, 200},
    };
    QTemporaryDir folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const QString path = folder.filePath(QString::fromLatin1(row.what) + QStringLiteral(".pgm"));
        if (!row.bytes.isNull()) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(row.bytes);
        }
        const MaskRead read = readMaskFile(path);
        EXPECT_EQ(read.problem, row.problem);
        EXPECT_EQ(read.weights.isNull(), row.problem != None);
        if (row.problem == None) {
            EXPECT_EQ(read.weights.constScanLine(0)[0], row.firstWeight);
        }
    }
    EXPECT_EQ(readMaskFile(folder.path()).problem, Unreadable) << "a folder";
}

}  // namespace
