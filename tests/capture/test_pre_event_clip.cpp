// Clips that begin before they are started: the kept frames first, on the
// clip's 30-frame grid, then the live pictures, without a gap.
#include "capture/ClipRecorder.h"
#include "tests/capture/DeviceBufferFrame.h"
#include "tests/support/ClipProbe.h"
#include "tests/support/Footage.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr QSize kSize{80, 48};
constexpr int kLiveCode = 1023;
constexpr std::chrono::microseconds kPeriod{33333};

struct Row {
    const char* name;
    std::chrono::seconds kept;   // how much the buffer holds, 30 frames a second up to now
    std::chrono::seconds reach;  // how far back the clip is to begin
    int firstCode;               // the kept frame it begins with; kLiveCode: the live picture
    double seconds;              // its length, with one second after the start
};

}  // namespace

TEST(PreEventClip, BeginsWithTheKeptFrameOfItsStartAndRunsOnLive)
{
    QTemporaryDir work;
    const Row rows[] = {
        {"reaching two of three seconds", 3s, 2s, 30, 3.0},
        {"reaching further than kept", 3s, 10s, 0, 4.0},
        {"nothing kept", 0s, 2s, kLiveCode, 1.0},
    };
    for (const Row& row : rows) {
        auto buffer = std::make_shared<PreEventBuffer>(10s);
        const int keptFrames = static_cast<int>(row.kept / kPeriod);
        std::vector<QByteArray> packets;
        for (int code = 0; code < keptFrames; ++code)
            packets.push_back(encodeFrameJpeg(numberedPicture(code, kSize), 90));
        // Taken after the slow encoding, so that the clip's length does not depend on it.
        const Clock::time_point now = Clock::now();
        for (int code = 0; code < keptFrames; ++code)
            buffer->keep(DeviceBufferFrame(packets[size_t(code)], kSize), now - row.kept + code * kPeriod);
        ClipRecording recording;
        recording.path = work.filePath(QString::fromLatin1(row.name) + ".AVI");
        recording.frameSize = kSize;
        recording.timeLimit = 60min;
        recording.compression.quality = 90;
        recording.earlier = buffer;
        recording.from = now - row.reach;
        const QImage live = numberedPicture(kLiveCode, kSize);
        ClipRecorder recorder(recording, [&live] { return live; });
        ASSERT_TRUE(recorder.start()) << row.name;
        recorder.endAfter(1s);
        recorder.wait();
        ASSERT_TRUE(recorder.outcome().written) << row.name;

        const ClipFacts facts = probeClip(recording.path);
        EXPECT_TRUE(facts.decodes) << row.name;
        EXPECT_EQ(facts.frameRate, "30/1") << row.name;
        // Within a frame or two: the recorder's start and the end are a moment apart.
        EXPECT_NEAR(facts.frames, row.seconds * 30, 2.0) << row.name;
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
