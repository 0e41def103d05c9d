#include "sound/WavDuration.h"
#include "tests/sound/WavFile.h"
#include "tests/support/TempAppFolder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using std::chrono::milliseconds;

TEST(WavDuration, ComesFromByteRateAndDataSize) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeWav(dir.filePath("t.wav"), 4800, 48000, 2, 24));
    EXPECT_EQ(wavDuration(dir.filePath("t.wav")), milliseconds(100));
    for (const char* name : {"siren.wav", "bark.wav", "beep.wav"}) {
        const auto shipped = wavDuration(qEnvironmentVariable("HOUNDLY_SOURCE_DIR") + "/media/" + name);
        EXPECT_TRUE(shipped && *shipped >= milliseconds(1000) && *shipped <= milliseconds(2000)) << name;
    }
}

// Byte-level edits of a valid 0.5 s file; each must be refused or cut short.
TEST(WavDuration, RefusesOrTrimsDamagedFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.wav");
    ASSERT_TRUE(writeWav(path, 11025));
    const QByteArray good = readFileBytes(path);
    QByteArray noByteRate = good;
    noByteRate.replace(28, 4, QByteArray(4, '\0'));
    const struct {
        const char* what;
        QByteArray bytes;
        std::optional<milliseconds> expected;
    } damages[] = {
        {"empty", {}, std::nullopt},
        {"not RIFF", QByteArray("RIFX") + good.mid(4), std::nullopt},
        {"no fmt chunk", good.left(12) + good.mid(36), std::nullopt},
        {"zero byte rate", noByteRate, std::nullopt},
        {"truncated data", good.left(44 + 22050 / 2), milliseconds(250)},
        {"padded odd chunk before fmt", good.left(12) + QByteArray("junk\x03\0\0\0abc\0", 12) + good.mid(12),
         milliseconds(500)},
    };
    for (const auto& d : damages)
        EXPECT_EQ(wavDuration(writeFileBytes(path, d.bytes)), d.expected) << d.what;
}
