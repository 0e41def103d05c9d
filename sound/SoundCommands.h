#pragma once

#include "sound/AudioOutput.h"

#include <QString>

#include <memory>

// A multimedia string-command interface for sound files. The file path is the
// device name, enclosed in double quotes or written bare; a device opens by
// itself on the first command that needs it and stays open until "close".
// Commands (command words in any letter case):
//   play <path>            plays from the current position; a playing device goes on
//   close <path>           stops and closes; fails on a device that is not open
//   status <path> mode     replies "playing" or "stopped"
//   seek <path> to start   stops and goes back to the beginning
enum class SoundError {
    None,
    UnrecognizedCommand,
    InvalidDeviceName,
    DeviceNotOpen,
    CannotOpenDevice,
};

struct SoundReply {
    SoundError error = SoundError::None;
    QString text;  // the reply text, "" when the command has none or failed
};

SoundReply mciSendString(const QString& command);

// Replaces the program-wide audio output, closing every open device first.
// The real speakers (loadSpeakers) are used until this is called, and again after it is with null.
void useAudioOutput(std::unique_ptr<AudioOutput> output);
