// The frames kept for pre-event recording: how far back, how much memory, in
// what order, that a packet is the buffer's own copy; and clips that begin
// with them on the clip's 30-frame grid, then run on live without a gap.
#include "capture/CameraFrame.h"
#include "capture/ClipRecorder.h"
#include "capture/FrameJpeg.h"
#include "capture/PreEventBuffer.h"
#include "tests/support/ClipProbe.h"
#include "tests/support/Footage.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A frame as an MJPEG camera delivers it: its bytes live in a buffer the
// "device" owns and fills again, as V4L2 does with its mapped buffers.
class DeviceBufferFrame final : public CameraFrame {
public:
    explicit DeviceBufferFrame(const QByteArray& deviceBuffer, QSize size = {64, 48})
        : CameraFrame(size), buffer_(deviceBuffer)
    {
    }
    QByteArrayView jpegBytes() const override { return buffer_; }

protected:
    QImage decode() const override { return decodeFrameJpeg(buffer_); }

private:
    const QByteArray& buffer_;
};

// On a whole second, so that frames meet the encoder's tenth-of-a-second slots at their start.
const Clock::time_point kStart{std::chrono::duration_cast<std::chrono::seconds>(Clock::now().time_since_epoch())};

Clock::time_point at(std::chrono::milliseconds offset)
{
    return kStart + offset;
}

std::vector<KeptFrame> everything(const PreEventBuffer& buffer)
{
    return buffer.framesAfter(Clock::time_point::min());
}

TEST(PreEventBuffer, KeepsItsLengthPlusTheMarginWithinItsMemoryCapTheOldestGoingFirst)
{
    const std::pair<std::chrono::seconds, std::chrono::milliseconds> cases[] = {{1s, 6000ms}, {3s, 6000ms}, {10s, 4000ms}};
    const QByteArray jpeg = encodeFrameJpeg(numberedPicture(0, {64, 48}), 80);
    for (const auto& [length, fed] : cases) {
        PreEventBuffer buffer(length);
        for (std::chrono::milliseconds t = 0ms; t <= fed; t += 40ms)
            buffer.keep(DeviceBufferFrame(jpeg), at(t));
        const std::vector<KeptFrame> kept = everything(buffer);
        ASSERT_FALSE(kept.empty());
        EXPECT_EQ(kept.back().time, at(fed - fed % 40ms));
        const std::chrono::milliseconds reach = std::min<std::chrono::milliseconds>(length + 1s, fed);  // a second of margin
        // Back as far as the length and margin reach (or the first frame), not one frame further.
        EXPECT_LE(kept.back().time - kept.front().time, reach) << length.count();
        EXPECT_GT(kept.back().time - kept.front().time + 40ms, reach) << length.count();
        EXPECT_EQ(buffer.bytes(), static_cast<qsizetype>(kept.size()) * jpeg.size());
    }

    const QByteArray large = encodeFrameJpeg(numberedPicture(0, {320, 240}), 90);
    const qsizetype cap = large.size() * 5 + large.size() / 2;
    PreEventBuffer capped(10s, cap);
    for (int i = 0; i < 20; ++i)
        capped.keep(DeviceBufferFrame(large), at(i * 33ms));
    // A frame bigger than the whole cap is not kept, and drops nothing.
    const QByteArray huge = encodeFrameJpeg(numberedPicture(0, {1280, 960}), 100);
    ASSERT_GT(huge.size(), cap);
    capped.keep(DeviceBufferFrame(huge), at(20 * 33ms));
    const std::vector<KeptFrame> kept = everything(capped);
    ASSERT_EQ(kept.size(), 5u);
    EXPECT_EQ(kept.front().time, at(15 * 33ms));
    EXPECT_EQ(kept.back().time, at(19 * 33ms));
    EXPECT_LE(capped.bytes(), cap);
    PreEventBuffer roomy(10s);  // holds 64 MB unless told otherwise
    const QByteArray megabyte(1 << 20, 'j');
    for (int i = 0; i < 65; ++i)
        roomy.keep(DeviceBufferFrame(megabyte), at(i * 10ms));
    EXPECT_EQ(roomy.bytes(), qsizetype{64} << 20);
}

TEST(PreEventBuffer, FramesComeOldestFirstAfterTheTimeAskedEachItsOwnCopy)
{
    PreEventBuffer buffer(10s);
    std::vector<QByteArray> jpegs;
    for (int i = 0; i < 10; ++i)
        jpegs.push_back(encodeFrameJpeg(numberedPicture(i, {64, 48}), 90));
    for (int i = 0; i < 10; ++i)
        buffer.keep(DeviceBufferFrame(jpegs[static_cast<size_t>(i)]), at(i * 100ms));
    // The device fills its buffers again: a packet must be the buffer's own copy.
    for (QByteArray& deviceBuffer : jpegs)
        std::memset(deviceBuffer.data(), 0, static_cast<size_t>(deviceBuffer.size()));

    const std::vector<KeptFrame> later = buffer.framesAfter(at(450ms));
    ASSERT_EQ(later.size(), 5u);
    for (size_t i = 0; i < later.size(); ++i) {
        EXPECT_EQ(later[i].time, at(static_cast<int>(i + 5) * 100ms));
        EXPECT_EQ(footageNumber(decodeFrameJpeg(later[i].jpeg)), int(i + 5));
        EXPECT_EQ(later[i].size, QSize(64, 48));
    }
    EXPECT_EQ(buffer.framesAfter(at(400ms)).front().time, at(500ms));
    EXPECT_TRUE(buffer.framesAfter(at(900ms)).empty());

    buffer.clear();
    EXPECT_TRUE(everything(buffer).empty());
    EXPECT_EQ(buffer.bytes(), 0);
}

TEST(PreEventBuffer, PicturesAreEncodedAtMostTenASecond)
{
    PreEventBuffer buffer(5s);
    // 30 frames a second for two seconds, each numbered.
    for (int i = 0; i < 60; ++i)
        buffer.keep(PictureFrame(numberedPicture(i, {160, 120})), at(i * 1000ms / 30));
    const std::vector<KeptFrame> kept = everything(buffer);
    EXPECT_GE(kept.size(), 19u);
    EXPECT_LE(kept.size(), 21u);
    for (size_t i = 1; i < kept.size(); ++i)
        EXPECT_GE(kept[i].time - kept[i - 1].time, 66ms) << i;
    for (const KeptFrame& frame : kept) {
        const int index = static_cast<int>(((frame.time - kStart) * 30 + 500ms) / 1000ms);
        EXPECT_EQ(frame.size, QSize(160, 120));
        // The picture of its own moment, kept at quality 85.
        EXPECT_TRUE(frame.jpeg == encodeFrameJpeg(numberedPicture(index, {160, 120}), 85)) << index;
    }
}

constexpr QSize kSize{80, 48};
constexpr int kLiveCode = 1023;
constexpr std::chrono::microseconds kPeriod{33333};

TEST(PreEventClip, BeginsWithTheKeptFrameOfItsStartAndRunsOnLive)
{
    QTemporaryDir work;
    const struct {
        const char* name;
        std::chrono::seconds kept;   // how much the buffer holds, 30 frames a second up to now
        std::chrono::seconds reach;  // how far back the clip is to begin
        int firstCode;               // the kept frame it begins with; kLiveCode: the live picture
        double seconds;              // its length, with one second after the start
    } rows[] = {
        {"reaching two of three seconds", 3s, 2s, 30, 3.0},
        {"reaching further than kept", 3s, 10s, 0, 4.0},
        {"nothing kept", 0s, 2s, kLiveCode, 1.0},
    };
    for (const auto& row : rows) {
        auto buffer = std::make_shared<PreEventBuffer>(10s);
        const int keptFrames = static_cast<int>(row.kept / kPeriod);
        std::vector<QByteArray> packets;
        for (int code = 0; code < keptFrames; ++code)
            packets.push_back(encodeFrameJpeg(numberedPicture(code, kSize), 90));
        // Taken after the slow encoding, so that the clip's length does not depend on it.
        const Clock::time_point now = Clock::now();
        for (int code = 0; code < keptFrames; ++code)
            buffer->keep(DeviceBufferFrame(packets[size_t(code)], kSize), now - row.kept + code * kPeriod);
        const ClipRecording recording{.path = work.filePath(QString::fromLatin1(row.name) + ".AVI"), .frameSize = kSize,
                                      .timeLimit = 60min, .compression = {.quality = 90}, .earlier = buffer,
                                      .from = now - row.reach};
        const QImage live = numberedPicture(kLiveCode, kSize);
        ClipRecorder recorder(recording, [&live] { return live; });
        ASSERT_TRUE(recorder.start()) << row.name;
        // A kept beginning is fixed, so a slow start lengthens the clip by as much.
        const double late = row.kept > 0s ? std::chrono::duration<double>(Clock::now() - now).count() : 0.0;
        recorder.endAfter(1s);
        recorder.wait();
        ASSERT_TRUE(recorder.outcome().written) << row.name;

        const ClipFacts facts = probeClip(recording.path);
        EXPECT_TRUE(facts.decodes) << row.name;
        EXPECT_EQ(facts.frameRate, "30/1") << row.name;
        // Within a frame or two: the recorder's start and the end are a moment apart.
        EXPECT_NEAR(facts.frames, (row.seconds + late) * 30, 2.0) << row.name;
        const std::vector<QImage> frames = decodeFrames(recording.path, kSize);
        ASSERT_FALSE(frames.empty()) << row.name;
        std::vector<int> codes;
        for (const QImage& frame : frames)
            codes.push_back(footageNumber(frame));
        EXPECT_NEAR(codes.front(), row.firstCode, 1) << row.name;
        // The kept frames one after the other, then the live picture: no gap, no step back.
        for (size_t i = 1; i < codes.size(); ++i) {
            const bool next = codes[i] == kLiveCode || (codes[i] >= codes[i - 1] && codes[i] <= codes[i - 1] + 2);
            EXPECT_TRUE(next) << row.name << ": frame " << i << " shows " << codes[i] << " after " << codes[i - 1];
        }
        EXPECT_EQ(codes.back(), kLiveCode) << row.name;
        const auto lastKept = std::find(codes.begin(), codes.end(), kLiveCode);
        if (keptFrames > 0 && lastKept != codes.begin()) {
            EXPECT_GE(*(lastKept - 1), keptFrames - 2) << row.name << ": the live picture came before the last kept frame";
        }
    }
}

}  // namespace
