#pragma once

#include <QByteArray>
#include <QString>

// Files and folders that can hold private data (snapshots, clips, logs) are
// the user's alone: folders 0700, files 0600.

// Makes the folder, 0700, when it is missing; true when it is there.
bool createPrivateFolder(const QString& path);
// Takes group and other rights away from a folder of the user's (not through
// a symbolic link, which the user made on purpose).
bool tightenFolder(const QString& path);
// Takes group and other rights away from a regular file, or from the file a
// symbolic link names; true when no one but the user may then read it.
bool tightenFile(const QString& path);
// Restricts a regular file to the user (0600); false when it cannot.
bool makeOwnerOnly(const QString& path);
// Appends the bytes to a log file created 0600 (an older one readable by
// others is tightened first); false when they were not all written.
bool appendToPrivateFile(const QString& path, const QByteArray& bytes);
