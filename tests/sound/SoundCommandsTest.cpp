#include "sound/SilentAudioOutput.h"
#include "sound/SoundCommands.h"
#include "sound/SoundPlayer.h"
#include "tests/sound/WavFile.h"
#include "tests/support/TempAppFolder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

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
