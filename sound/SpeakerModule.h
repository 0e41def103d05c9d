#pragma once

#include "sound/AudioOutput.h"

#include <memory>

// The speakers (QtAudioOutput over Qt Multimedia) live in a module of their
// own, loaded at the first sound, so that watching in silence never maps Qt
// Multimedia. Null when the module cannot be loaded, told once on standard
// error: every sound then fails silently, as without an audio device.
std::unique_ptr<AudioOutput> loadSpeakers();

// The module's one entry point: new speakers, owned by the caller.
extern "C" AudioOutput* houndlyNewSpeakers();
