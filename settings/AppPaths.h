#pragma once

#include <QString>

// The application folder: $HOUNDLY_HOME, else the executable's folder when it
// is writable, else ~/.local/share/houndly. Created, with img/ and avi/, on demand.
QString appFolder();

// Joins a file name onto the application folder.
QString appFilePath(const QString& name);

// The folder of alarm sounds, ending in "/": $WINDIR/media/ when WINDIR is set
// and not empty, otherwise the media/ folder of shipped sounds beside the executable.
QString soundFolder();
