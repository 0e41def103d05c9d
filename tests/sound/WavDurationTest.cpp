#include "sound/WavDuration.h"
#include "tests/sound/WavFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using std::chrono::milliseconds;

struct DurationCase {
    int frames;
    quint32 rate;
    quint16 channels;
    quint16 bits;
    milliseconds expected;
};

TEST(WavDuration, ComputesDurationFromByteRateAndDataSize) {
    const DurationCase cases[] = {
        {22050, 22050, 1, 16, milliseconds(1000)},
        {11025, 22050, 1, 16, milliseconds(500)},
        {44100, 44100, 2, 16, milliseconds(1000)},
        {8000, 8000, 1, 8, milliseconds(1000)},
        {4800, 48000, 2, 24, milliseconds(100)},
        {0, 22050, 1, 16, milliseconds(0)},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        const QString path = dir.filePath("t.wav");
        ASSERT_TRUE(writeWav(path, c.frames, c.rate, c.channels, c.bits));
        EXPECT_EQ(wavDuration(path), c.expected) << c.frames << " frames at " << c.rate;
    }
}

TEST(WavDuration, ShippedSoundsLastOneToTwoSeconds) {
    for (const char* name : {"siren.wav", "bark.wav", "beep.wav"}) {
        const auto duration = wavDuration(qEnvironmentVariable("HOUNDLY_SOURCE_DIR") + "/media/" + name);
        ASSERT_TRUE(duration) << name;
        EXPECT_GE(*duration, milliseconds(1000)) << name;
        EXPECT_LE(*duration, milliseconds(2000)) << name;
    }
}

// Byte-level edits of a valid 0.5 s file; each must be refused or cut short.
TEST(WavDuration, RefusesOrTrimsDamagedFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.wav");
    ASSERT_TRUE(writeWav(path, 11025));
    QFile source(path);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray good = source.readAll();
    source.close();

    struct Damage {
        const char* what;
        QByteArray bytes;
        std::optional<milliseconds> expected;
    };
    QByteArray noByteRate = good;
    noByteRate.replace(28, 4, QByteArray(4, '\0'));
    QByteArray oddChunkFirst = good.left(12) + QByteArray("junk\x03\0\0\0abc\0", 12) + good.mid(12);
    const Damage damages[] = {
        {"empty", {}, std::nullopt},
        {"not RIFF", QByteArray("RIFX") + good.mid(4), std::nullopt},
        {"not WAVE", good.left(8) + "AVI " + good.mid(12), std::nullopt},
        {"header only", good.left(12), std::nullopt},
        {"no fmt chunk", good.left(12) + good.mid(36), std::nullopt},
        {"zero byte rate", noByteRate, std::nullopt},
        {"truncated data", good.left(44 + 22050 / 2), milliseconds(250)},
        {"padded odd chunk before fmt", oddChunkFirst, milliseconds(500)},
    };
    for (const auto& d : damages) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(d.bytes);
        file.close();
        EXPECT_EQ(wavDuration(path), d.expected) << d.what;
    }
    EXPECT_EQ(wavDuration(dir.filePath("missing.wav")), std::nullopt);
}
