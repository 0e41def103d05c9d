#include "settings/AppFolderTidy.h"

#include "settings/AppPaths.h"
#include "settings/AtomicFile.h"
#include "settings/PrivateFiles.h"

void tidyAppFolder()
{
    removeLeftOverTemporaries(appFilePath(QStringLiteral("houndly.ini")));
    for (const char* folder : {"img", "avi"})
        tightenFolder(appFilePath(QString::fromLatin1(folder)));
}
