#include "app/HelpFolder.h"

#include "settings/AppPaths.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

bool installHelpFolder(const QString& source, const QString& target)
{
    const QDir sourceDir(source);
    if (!sourceDir.exists())
        return false;
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return true;
    bool complete = true;
    QDirIterator files(source, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QFileInfo from(files.next());
        const QString relative = sourceDir.relativeFilePath(from.filePath());
        const QFileInfo to(QDir(target).filePath(relative));
        if (to.exists() && to.size() == from.size() && to.lastModified() >= from.lastModified())
            continue;
        QDir().mkpath(to.absolutePath());
        QFile::remove(to.filePath());
        complete = QFile::copy(from.filePath(), to.filePath()) && complete;
    }
    return complete;
}

QString shippedHelpFolder()
{
    return shippedFolder(QStringLiteral("help"));
}
