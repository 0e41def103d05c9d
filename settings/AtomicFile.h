#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file's content all at once: the bytes go to a temporary file
// beside it (mode 0600), which is flushed to disk and renamed over the old one.
// False when any step fails; the old file then stays as it was.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);
