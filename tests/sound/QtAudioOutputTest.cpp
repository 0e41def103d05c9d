#include "sound/QtAudioOutput.h"
#include "sound/SoundCommands.h"
#include "sound/SoundPlayer.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QMediaDevices>

#include <gtest/gtest.h>

// The real audio output on this computer. Where there is no audio device (and
// before the application object) every command fails silently and at once.
TEST(QtAudioOutput, PlaysOnADeviceOrFailsSilentlyWithout) {
    const QString siren = qEnvironmentVariable("HOUNDLY_SOURCE_DIR") + "/media/siren.wav";
    EXPECT_EQ(QtAudioOutput().open(siren), nullptr) << "no device before the application object";
    int argc = 1;
    char name[] = "sound_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    useAudioOutput(std::make_unique<QtAudioOutput>());
    sSoundPlay(siren);
    sSoundRepeat(siren);
    const bool device = !QMediaDevices::audioOutputs().isEmpty();
    EXPECT_EQ(GetSoundMode(siren), device ? "PLAYING" : "");
    EXPECT_EQ(mciSendString("play \"" + siren + "\"").error, device ? SoundError::None : SoundError::CannotOpenDevice);
    EXPECT_EQ(mciSendString("close \"" + siren + "\"").error, device ? SoundError::None : SoundError::DeviceNotOpen);
    useAudioOutput(nullptr);
}
