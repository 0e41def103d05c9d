#pragma once

#include <QString>

#include <memory>

// One sound file opened on an audio output.
class AudioClip {
public:
    virtual ~AudioClip() = default;
    // Plays the whole file from its beginning.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;
    // True once the output found, after opening, that it cannot play the file.
    virtual bool failed() const = 0;
};

// Where sounds are played: the real speakers, or a silent stand-in for tests.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // nullptr when the file cannot be played here (no audio device, missing or
    // unsupported file).
    virtual std::unique_ptr<AudioClip> open(const QString& path) = 0;
};
