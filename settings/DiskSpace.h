#pragma once

#include <QString>

// Whether the file system holding `path` is out of room for the program's
// files: less than 1 MiB left to an ordinary user. A write that failed there
// failed for want of space.
bool isDiskFull(const QString& path);

// Why a snapshot or a clip was not written when the disk is full; the reason
// the watch events carry, and the words the status bar uses.
QString diskFullText();
