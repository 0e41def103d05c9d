#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>

// Snapshot pictures for mail: a frame scaled to one of the three sizes and
// written as JPEG under img/ of the application folder.

// 0 = 640x480, 1 = 320x240, 2 = 110x82 ("110x82.5" rounded); anything else 640x480.
QSize snapshotSize(int sizeIndex);

// appFolder()/img/YYMMDDhhmmss_<suffix>, from the local time now; a name of
// the same second gets "_2", "_3" ... before the extension.
QString snapshotPath(const QString& suffix);

// Writes the picture at the size of sizeIndex to the path; the writer's result code.
int16_t writeSnapshot(const QImage& picture, int sizeIndex, int16_t compressionRate, const QString& path);
