#pragma once

#include <QString>

// The application folder: $HOUNDLY_HOME, else the executable's folder when it is
// portable (see below), else ~/.local/share/houndly. Created, with img/ and avi/ (0700), on demand.
QString appFolder();
// A folder the program may keep its files in beside itself, as a portable
// install does: writable, and not the bin/ of an installed program.
bool isPortableProgramFolder(const QString& programFolder);

// Joins a file name onto the application folder.
QString appFilePath(const QString& name);

// A folder the program ships (media/, help/): beside the executable in a build
// or a portable install, otherwise where an install puts it (share/houndly/).
QString shippedFolder(const QString& name);
// The same below the executable folder `programFolder`.
QString shippedFolderOf(const QString& programFolder, const QString& name);

// The folder of alarm sounds, ending in "/": $WINDIR/media/ when WINDIR is set
// and not empty, otherwise the shipped media/ folder.
QString soundFolder();
