#include "sound/SilentAudioOutput.h"
#include "sound/SoundCommands.h"
#include "sound/SoundPlayer.h"
#include "tests/sound/WavFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

using namespace std::chrono_literals;

namespace {

// Sounds on the silent output, with a clock the test moves by hand.
class SoundCommands : public ::testing::Test {
protected:
    void SetUp() override {
        useAudioOutput(std::make_unique<SilentAudioOutput>([this] { return now; }));
        ASSERT_TRUE(writeWav(path, 11025));  // 500 ms
        ASSERT_TRUE(writeWav(other, 22050));  // 1000 ms
    }
    void TearDown() override { useAudioOutput(nullptr); }

    QTemporaryDir dir;
    QString path = dir.filePath("alarm sound.wav");
    QString other = dir.filePath("other.wav");
    std::chrono::steady_clock::time_point now{};
};

}  // namespace

// One sound's life: playing for its duration, stopped at its end until sought
// back, restarted by the repeat only once it has ended.
TEST_F(SoundCommands, PlaysToItsEndAndRepeatsOnlyFromAStop) {
    sSoundPlay(path);
    now += 300ms;
    sSoundRepeat(path);
    EXPECT_EQ(GetSoundMode(path), "PLAYING");
    now += 199ms;
    EXPECT_EQ(GetSoundMode(path), "PLAYING");
    now += 2ms;
    EXPECT_EQ(GetSoundMode(path), "STOPPED") << "the repeat restarted a sound that was playing";
    sSoundPlay(path);
    EXPECT_EQ(mciSendString("status \"" + path + "\" mode").text, "stopped") << "play at the end needs a seek";
    sSoundRepeat(path);
    now += 499ms;
    EXPECT_EQ(GetSoundMode(path), "PLAYING") << "the repeat did not restart from the start";
    mciSendString("Seek \"" + path + "\" to start");
    EXPECT_EQ(GetSoundMode(path), "STOPPED") << "seek did not stop the sound";
}

TEST_F(SoundCommands, CloseForgetsOnlyThatDevice) {
    sSoundPlay(path);
    sSoundPlay(other);
    now += 600ms;
    EXPECT_EQ(mciSendString("close \"" + path + "\"").error, SoundError::None);
    EXPECT_EQ(mciSendString("close \"" + path + "\"").error, SoundError::DeviceNotOpen);
    EXPECT_EQ(GetSoundMode(other), "PLAYING") << "closing one sound touched another";
    // Reopened afresh, the sound stands at its start again.
    sSoundPlay(path);
    EXPECT_EQ(GetSoundMode(path), "PLAYING");
}

TEST_F(SoundCommands, CommandWordsIgnoreCaseAndDeviceNamesMayBeBare) {
    EXPECT_EQ(mciSendString("PLAY \"" + other + "\"").error, SoundError::None);
    EXPECT_EQ(mciSendString("Status " + other + " MODE").text, "playing");
    EXPECT_EQ(mciSendString("  seek   " + other + "   To  Start ").error, SoundError::None);
    EXPECT_EQ(mciSendString("status \"" + other + "\" mode").text, "stopped");
}

// Each command fails with no reply and leaves no device open.
TEST_F(SoundCommands, BadCommandsAndUnplayableFilesFailSilently) {
    QFile text(dir.filePath("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("not a sound") > 0);
    const QString q = '"' + path + '"';
    const struct {
        QString command;
        SoundError error;
    } cases[] = {
        {"", SoundError::UnrecognizedCommand},
        {"play", SoundError::UnrecognizedCommand},
        {"play \"" + path, SoundError::UnrecognizedCommand},
        {"jump " + q, SoundError::UnrecognizedCommand},
        {"play " + q + " wait", SoundError::UnrecognizedCommand},
        {"close " + q + " now", SoundError::UnrecognizedCommand},
        {"status " + q, SoundError::UnrecognizedCommand},
        {"status " + q + " volume", SoundError::UnrecognizedCommand},
        {"seek " + q + " to end", SoundError::UnrecognizedCommand},
        {"play \"\"", SoundError::InvalidDeviceName},
        {"status \"\" mode", SoundError::InvalidDeviceName},
        {"close " + q, SoundError::DeviceNotOpen},
        {"play \"" + dir.filePath("missing.wav") + "\"", SoundError::CannotOpenDevice},
        {"status \"" + text.fileName() + "\" mode", SoundError::CannotOpenDevice},
        {"play \"" + dir.path() + "\"", SoundError::CannotOpenDevice},
    };
    for (const auto& c : cases) {
        const SoundReply reply = mciSendString(c.command);
        EXPECT_EQ(reply.error, c.error) << c.command.toStdString();
        EXPECT_EQ(reply.text, "") << c.command.toStdString();
    }
    EXPECT_EQ(mciSendString("close " + q).error, SoundError::DeviceNotOpen);
    EXPECT_EQ(GetSoundMode(text.fileName()), "");
}

// The silent output on the real clock, with a shipped sound of about a second.
TEST(SilentAudioOutput, PlaysForTheRealDurationOfTheFile) {
    useAudioOutput(std::make_unique<SilentAudioOutput>());
    const QString bark = qEnvironmentVariable("HOUNDLY_SOURCE_DIR") + "/media/bark.wav";
    sSoundPlay(bark);
    EXPECT_EQ(GetSoundMode(bark), "PLAYING");
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(GetSoundMode(bark), "STOPPED");
    useAudioOutput(nullptr);
}
