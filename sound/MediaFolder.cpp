#include "sound/MediaFolder.h"

#include <QCoreApplication>

QString mediaFolder() {
    const QString windowsFolder = qEnvironmentVariable("WINDIR");
    // An empty WINDIR would name /media/, the mount point of removable disks.
    const QString base = windowsFolder.isEmpty() ? QCoreApplication::applicationDirPath() : windowsFolder;
    return base + (base.endsWith('/') ? "media/" : "/media/");
}
