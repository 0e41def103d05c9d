#include "settings/AppFolderTidy.h"

#include "settings/AppPaths.h"
#include "settings/AtomicFile.h"
#include "settings/PrivateFiles.h"

#include <QFile>

void tidyAppFolder()
{
    for (const char* file : {"houndly.ini", "timeline.json", "pending-uploads.json"})
        removeLeftOverTemporaries(appFilePath(QString::fromLatin1(file)));
    const std::pair<const char*, const char*> mediaFolders[] = {{"img", ".jpg"}, {"avi", ".AVI"}};
    for (const auto& media : mediaFolders) {
        const QString path = appFilePath(QString::fromLatin1(media.first));
        const char* extension = media.second;
        removeLeftOverTemporaries(path, [extension](const QByteArray& name) { return name.endsWith(extension); });
        tightenFolder(path);
    }
    // The script of an upload that a kill cut short holds the FTP password.
    QFile::remove(appFilePath(QStringLiteral("FTP_PUT.txt")));
}
