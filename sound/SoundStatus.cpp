#include "sound/SoundStatus.h"

QString soundStatusText(const QString& sound) {
    return sound.isEmpty() ? QStringLiteral("警告音: なし") : QStringLiteral("警告音: ") + sound;
}
