// The frames kept for pre-event recording: how far back, how much memory,
// in what order, and that a packet is the buffer's own copy.
#include "capture/PreEventBuffer.h"
#include "tests/capture/DeviceBufferFrame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// On a whole second, so that frames meet the encoder's tenth-of-a-second slots at their start.
const Clock::time_point kStart{std::chrono::duration_cast<std::chrono::seconds>(Clock::now().time_since_epoch())};

Clock::time_point at(std::chrono::milliseconds offset)
{
    return kStart + offset;
}

}  // namespace

TEST(PreEventBuffer, KeepsItsLengthPlusTheMarginAndNoMore)
{
    struct Case {
        std::chrono::seconds length;
        std::chrono::milliseconds fed;
    };
    for (const Case& c : {Case{1s, 6000ms}, Case{3s, 6000ms}, Case{10s, 4000ms}}) {
        PreEventBuffer buffer(c.length);
        const QByteArray jpeg = encodeFrameJpeg(greyPicture(100), 80);
        for (std::chrono::milliseconds t = 0ms; t <= c.fed; t += 40ms)
            buffer.keep(DeviceBufferFrame(jpeg), at(t));
        const std::vector<KeptFrame> kept = buffer.framesAfter(Clock::time_point::min());
        ASSERT_FALSE(kept.empty());
        EXPECT_EQ(kept.back().time, at(c.fed - c.fed % 40ms));
        const std::chrono::milliseconds reach = std::min<std::chrono::milliseconds>(c.length + PreEventBuffer::kMargin, c.fed);
        // Back as far as the length and margin reach (or the first frame), not one frame further.
        EXPECT_LE(kept.back().time - kept.front().time, reach) << c.length.count();
        EXPECT_GT(kept.back().time - kept.front().time + 40ms, reach) << c.length.count();
        EXPECT_EQ(buffer.bytes(), static_cast<qsizetype>(kept.size()) * jpeg.size());
    }
}

TEST(PreEventBuffer, MemoryCapDropsTheOldestFirst)
{
    const QByteArray jpeg = encodeFrameJpeg(greyPicture(100, {320, 240}), 90);
    const qsizetype cap = jpeg.size() * 5 + jpeg.size() / 2;
    PreEventBuffer buffer(10s, cap);
    for (int i = 0; i < 20; ++i)
        buffer.keep(DeviceBufferFrame(jpeg), at(i * 33ms));
    const std::vector<KeptFrame> kept = buffer.framesAfter(Clock::time_point::min());
    ASSERT_EQ(kept.size(), 5u);
    EXPECT_EQ(kept.front().time, at(15 * 33ms));
    EXPECT_EQ(kept.back().time, at(19 * 33ms));
    EXPECT_LE(buffer.bytes(), cap);

    // A frame bigger than the whole cap is not kept, and drops nothing.
    const QByteArray huge = encodeFrameJpeg(greyPicture(100, {1280, 960}), 100);
    ASSERT_GT(huge.size(), cap);
    buffer.keep(DeviceBufferFrame(huge), at(20 * 33ms));
    EXPECT_EQ(buffer.framesAfter(Clock::time_point::min()).size(), 5u);
    EXPECT_EQ(buffer.framesAfter(Clock::time_point::min()).back().time, at(19 * 33ms));
}

TEST(PreEventBuffer, FramesComeOldestFirstAfterTheTimeAskedEachItsOwnCopy)
{
    PreEventBuffer buffer(10s);
    std::vector<QByteArray> jpegs;
    for (int i = 0; i < 10; ++i)
        jpegs.push_back(encodeFrameJpeg(greyPicture(20 + 20 * i), 90));
    for (int i = 0; i < 10; ++i)
        buffer.keep(DeviceBufferFrame(jpegs[static_cast<size_t>(i)]), at(i * 100ms));
    // The device fills its buffers again: a packet must be the buffer's own copy.
    for (QByteArray& deviceBuffer : jpegs)
        std::memset(deviceBuffer.data(), 0, static_cast<size_t>(deviceBuffer.size()));

    const std::vector<KeptFrame> later = buffer.framesAfter(at(450ms));
    ASSERT_EQ(later.size(), 5u);
    for (size_t i = 0; i < later.size(); ++i) {
        EXPECT_EQ(later[i].time, at(static_cast<int>(i + 5) * 100ms));
        EXPECT_NEAR(meanGrey(decodeFrameJpeg(later[i].jpeg)), 20 + 20 * int(i + 5), 3);
        EXPECT_EQ(later[i].size, QSize(64, 48));
    }
    EXPECT_EQ(buffer.framesAfter(at(400ms)).front().time, at(500ms));
    EXPECT_TRUE(buffer.framesAfter(at(900ms)).empty());

    buffer.clear();
    EXPECT_TRUE(buffer.framesAfter(Clock::time_point::min()).empty());
    EXPECT_EQ(buffer.bytes(), 0);
}

TEST(PreEventBuffer, PicturesAreEncodedAtMostTenASecond)
{
    PreEventBuffer buffer(5s);
    // 30 frames a second for two seconds, each a shade lighter.
    for (int i = 0; i < 60; ++i)
        buffer.keep(PictureFrame(greyPicture(40 + 3 * i, {160, 120})), at(i * 1000ms / 30));
    const std::vector<KeptFrame> kept = buffer.framesAfter(Clock::time_point::min());
    EXPECT_GE(kept.size(), 19u);
    EXPECT_LE(kept.size(), 21u);
    for (size_t i = 1; i < kept.size(); ++i)
        EXPECT_GE(kept[i].time - kept[i - 1].time, 66ms) << i;
    for (const KeptFrame& frame : kept) {
        const int index = static_cast<int>(((frame.time - kStart) * 30 + 500ms) / 1000ms);
        const QImage picture = decodeFrameJpeg(frame.jpeg);
        ASSERT_EQ(picture.size(), QSize(160, 120));
        EXPECT_EQ(frame.size, QSize(160, 120));
        EXPECT_NEAR(meanGrey(picture), 40 + 3 * index, 2) << index;
    }
}
