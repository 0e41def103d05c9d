#include "sound/QtAudioOutput.h"
#include "sound/SoundCommands.h"
#include "sound/SoundPlayer.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>

#include <gtest/gtest.h>

// The real audio output on this computer. Where there is no audio device
// every command must fail silently and return at once.
TEST(QtAudioOutput, PlaysOnADeviceOrFailsSilentlyWithout) {
    int argc = 1;
    char name[] = "sound_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    useAudioOutput(std::make_unique<QtAudioOutput>());
    const QString siren = qEnvironmentVariable("HOUNDLY_SOURCE_DIR") + "/media/siren.wav";

    sSoundPlay(siren);
    sSoundRepeat(siren);
    if (QMediaDevices::audioOutputs().isEmpty()) {
        EXPECT_EQ(GetSoundMode(siren), "");
        EXPECT_EQ(mciSendString("play \"" + siren + "\"").error, SoundError::CannotOpenDevice);
        EXPECT_EQ(mciSendString("close \"" + siren + "\"").error, SoundError::DeviceNotOpen);
    } else {
        EXPECT_EQ(GetSoundMode(siren), "PLAYING");
        EXPECT_EQ(mciSendString("close \"" + siren + "\"").error, SoundError::None);
    }
    sSoundClose(siren);
    useAudioOutput(nullptr);
}

TEST(QtAudioOutput, NoDeviceBeforeTheApplicationObject) {
    EXPECT_EQ(QtAudioOutput().open(qEnvironmentVariable("HOUNDLY_SOURCE_DIR") + "/media/siren.wav"), nullptr);
}
