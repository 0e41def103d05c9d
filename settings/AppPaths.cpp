#include "settings/AppPaths.h"

#include "settings/InstallLayout.h"
#include "settings/PrivateFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString chooseAppFolder()
{
    const QString home = qEnvironmentVariable("HOUNDLY_HOME");
    if (!home.isEmpty()) {
        return home;
    }
    const QString executableFolder = QCoreApplication::applicationDirPath();
    if (!executableFolder.isEmpty() && isPortableProgramFolder(executableFolder)) {
        return executableFolder;
    }
    return QDir::homePath() + QStringLiteral("/.local/share/houndly");
}

}  // namespace

bool isPortableProgramFolder(const QString& programFolder)
{
    // An installed program (its shipped files in share/houndly, none beside it)
    // never writes into bin/, even when root could.
    const QDir program(programFolder);
    const bool installed = !QFileInfo(program.filePath(QStringLiteral("media"))).isDir()
                           && QFileInfo(program.filePath(QLatin1String(kShippedFromProgram))).isDir();
    return !installed && QFileInfo(programFolder).isWritable();
}

QString appFolder()
{
    const QString folder = QDir::cleanPath(QDir(chooseAppFolder()).absolutePath());
    // A folder that cannot be made shows up later as files that cannot be written.
    QDir().mkpath(folder);
    // Snapshots and clips show the user's home: for the user's eyes alone.
    createPrivateFolder(folder + QStringLiteral("/img"));
    createPrivateFolder(folder + QStringLiteral("/avi"));
    return folder;
}

QString appFilePath(const QString& name)
{
    const QString folder = appFolder();
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QString shippedFolderOf(const QString& programFolder, const QString& name)
{
    const QDir program(programFolder);
    const QString beside = program.filePath(name);
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(program.filePath(QLatin1String(kShippedFromProgram) + u'/' + name));
}

QString shippedFolder(const QString& name)
{
    return shippedFolderOf(QCoreApplication::applicationDirPath(), name);
}

QString soundFolder()
{
    const QString windowsFolder = qEnvironmentVariable("WINDIR");
    // An empty WINDIR would name /media/, the mount point of removable disks.
    if (windowsFolder.isEmpty())
        return shippedFolder(QStringLiteral("media")) + u'/';
    return windowsFolder + (windowsFolder.endsWith(u'/') ? QStringLiteral("media/") : QStringLiteral("/media/"));
}
