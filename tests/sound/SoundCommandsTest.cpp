// The sound command layer on the silent output and on this computer's real
// one, and the durations it reads from WAVE files.
#include "sound/QtAudioOutput.h"
#include "sound/SilentAudioOutput.h"
#include "sound/SoundCommands.h"
#include "sound/SoundPlayer.h"
#include "sound/WavDuration.h"
#include "tests/sound/WavFile.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/TestApplication.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using std::chrono::milliseconds;

namespace {

// Sounds on the silent output, with a clock the test moves by hand.
class SoundCommands : public ::testing::Test {
protected:
    void SetUp() override {
        useAudioOutput(std::make_unique<SilentAudioOutput>([this] { return now; }));
        ASSERT_TRUE(writeWav(path, 11025) && writeWav(other, 44100));  // 500 ms, 2000 ms
    }
    void TearDown() override { useAudioOutput(nullptr); }

    QTemporaryDir dir;
    QString path = dir.filePath("alarm sound.wav");
    QString other = dir.filePath("other.wav");
    std::chrono::steady_clock::time_point now{};
};

}  // namespace

// One sound's life: playing for its duration, stopped at its end until sought
// back, restarted by the repeat only once it has ended; closing forgets only it.
TEST_F(SoundCommands, PlaysToItsEndRepeatsOnlyFromAStopAndClosesAlone) {
    sSoundPlay(path);
    sSoundPlay(other);
    now += 300ms;
    sSoundRepeat(path);
    now += 201ms;
    EXPECT_EQ(GetSoundMode(path), "STOPPED") << "the repeat restarted a sound that was playing";
    sSoundPlay(path);
    EXPECT_EQ(mciSendString("status \"" + path + "\" mode").text, "stopped") << "play at the end needs a seek";
    sSoundRepeat(path);
    now += 499ms;
    EXPECT_EQ(GetSoundMode(path), "PLAYING") << "the repeat did not restart from the start";
    EXPECT_EQ(mciSendString("  SEEK   \"" + path + "\"   To  Start ").error, SoundError::None);
    EXPECT_EQ(GetSoundMode(path), "STOPPED") << "seek did not stop the sound";

    EXPECT_EQ(mciSendString("Close \"" + path + "\"").error, SoundError::None);
    EXPECT_EQ(mciSendString("close \"" + path + "\"").error, SoundError::DeviceNotOpen);
    EXPECT_EQ(mciSendString("Status " + other + " MODE").text, "playing") << "closing one sound touched another";
}

// Each command fails with no reply and leaves no device open.
TEST_F(SoundCommands, BadCommandsAndUnplayableFilesFailSilently) {
    const QString text = writeFileBytes(dir.filePath("notes.txt"), "not a sound");
    const QString q = '"' + path + '"';
    const std::pair<QString, SoundError> cases[] = {
        {"", SoundError::UnrecognizedCommand},
        {"jump " + q, SoundError::UnrecognizedCommand},
        {"play " + q + " wait", SoundError::UnrecognizedCommand},
        {"seek " + q + " to end", SoundError::UnrecognizedCommand},
        {"play \"\"", SoundError::InvalidDeviceName},
        {"close " + q, SoundError::DeviceNotOpen},
        {"play \"" + dir.filePath("missing.wav") + "\"", SoundError::CannotOpenDevice},
        {"status \"" + text + "\" mode", SoundError::CannotOpenDevice},
    };
    for (const auto& [command, error] : cases) {
        const SoundReply reply = mciSendString(command);
        EXPECT_EQ(reply.error, error) << command.toStdString();
        EXPECT_EQ(reply.text, "") << command.toStdString();
    }
}

// The duration comes from the byte rate and the data size; byte-level edits
// of a valid 0.5 s file must be refused or cut short.
TEST(WavDuration, ComesFromByteRateAndDataSizeAndRefusesOrTrimsDamagedFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.wav");
    ASSERT_TRUE(writeWav(path, 4800, 48000, 2, 24));
    EXPECT_EQ(wavDuration(path), milliseconds(100));
    for (const char* shipped : {"siren.wav", "bark.wav", "beep.wav"})
        EXPECT_GE(wavDuration(qEnvironmentVariable("HOUNDLY_SOURCE_DIR") + "/media/" + shipped).value_or(0ms), 1000ms) << shipped;
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
        {"a RIFF file but not a WAVE", good.left(8) + "AVI " + good.mid(12), std::nullopt},
        {"no fmt chunk", good.left(12) + good.mid(36), std::nullopt},
        {"zero byte rate", noByteRate, std::nullopt},
        {"truncated data", good.left(44 + 22050 / 2), milliseconds(250)},
        {"padded odd chunk before fmt", good.left(12) + QByteArray("junk\x03\0\0\0abc\0", 12) + good.mid(12),
         milliseconds(500)},
    };
    for (const auto& d : damages)
        EXPECT_EQ(wavDuration(writeFileBytes(path, d.bytes)), d.expected) << d.what;
}

// The real audio output on this computer. Where there is no audio device (and
// before the application object) every command fails silently and at once.
TEST(QtAudioOutput, PlaysOnADeviceOrFailsSilentlyWithout) {
    const QString siren = qEnvironmentVariable("HOUNDLY_SOURCE_DIR") + "/media/siren.wav";
    EXPECT_EQ(QtAudioOutput().open(siren), nullptr) << "no device before the application object";
    testApplication();
    useAudioOutput(std::make_unique<QtAudioOutput>());
    sSoundPlay(siren);
    sSoundRepeat(siren);
    const bool device = !QMediaDevices::audioOutputs().isEmpty();
    EXPECT_EQ(GetSoundMode(siren), device ? "PLAYING" : "");
    EXPECT_EQ(mciSendString("play \"" + siren + "\"").error, device ? SoundError::None : SoundError::CannotOpenDevice);
    EXPECT_EQ(mciSendString("close \"" + siren + "\"").error, device ? SoundError::None : SoundError::DeviceNotOpen);
    useAudioOutput(nullptr);
}
