#pragma once

#include <QString>

// The application folder: $HOUNDLY_HOME, else the executable's folder when it
// is writable, else ~/.local/share/houndly. Created, with img/ and avi/, on demand.
QString appFolder();

// Joins a file name onto the application folder.
QString appFilePath(const QString& name);
