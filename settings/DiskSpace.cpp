#include "settings/DiskSpace.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

// A snapshot needs some ten kilobytes, a clip megabytes: below this no alarm
// file can be counted on.
constexpr qint64 kLeastRoom = 1024 * 1024;

}  // namespace

bool isDiskFull(const QString& path)
{
    // The file itself may not exist (it was not written): ask for its folder.
    const QFileInfo info(path);
    const QStorageInfo storage(info.isDir() ? path : info.absolutePath());
    return storage.isValid() && storage.bytesAvailable() < kLeastRoom;
}

QString diskFullText()
{
    return QCoreApplication::translate("DiskSpace", "ﾃﾞｨｽｸがいっぱいです。");
}
