#pragma once

#include <QString>

// The warning sound. Every operation fails silently without an audio device.
void sSoundPlay(const QString& path);
void sSoundClose(const QString& path);
QString GetSoundMode(const QString& path);
// Restarts the sound from its beginning when it has stopped playing.
void sSoundRepeat(const QString& path);
