#pragma once

#include "sound/AudioOutput.h"

// The computer's default audio device through Qt Multimedia. Plays WAVE files;
// without an audio device every file fails to open.
class QtAudioOutput : public AudioOutput {
public:
    std::unique_ptr<AudioClip> open(const QString& path) override;
};
