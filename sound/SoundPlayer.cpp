#include "sound/SoundPlayer.h"

#include "sound/SoundCommands.h"

namespace {

QString quoted(const QString& path) {
    return '"' + path + '"';
}

}  // namespace

void sSoundPlay(const QString& path) {
    mciSendString("play " + quoted(path));
}

void sSoundClose(const QString& path) {
    mciSendString("close " + quoted(path));
}

QString GetSoundMode(const QString& path) {
    return mciSendString("status " + quoted(path) + " mode").text.toUpper();
}

void sSoundRepeat(const QString& path) {
    if (GetSoundMode(path) == "STOPPED") mciSendString("Seek " + quoted(path) + " to start");
    sSoundPlay(path);
}
