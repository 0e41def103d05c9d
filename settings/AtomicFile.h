#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file's content all at once: the bytes go to a temporary file
// beside it (mode 0600, named after it with a dot and six letters or digits,
// locked while it is written), which is flushed to disk and renamed over the
// old one. False when any step fails; the old file then stays as it was.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

// Removes the temporary files of writeFileAtomically(path) that a killed
// writer left behind: those no running writer holds locked. Nothing else is
// touched. Returns how many were removed.
int removeLeftOverTemporaries(const QString& path);
