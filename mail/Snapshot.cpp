#include "mail/Snapshot.h"

#include "capture/JpegWriter.h"
#include "settings/AppPaths.h"
#include "settings/CommonHelpers.h"
#include "settings/PrivateFiles.h"

#include <QDateTime>
#include <QDir>

#include <algorithm>

QSize snapshotSize(int sizeIndex)
{
    switch (sizeIndex) {
    case 1: return {320, 240};
    case 2: return {110, 82};
    default: return {640, 480};
    }
}

QString snapshotPath(const QString& suffix)
{
    return unusedTimeStampedPath(QDir(appFolder()).filePath(QStringLiteral("img")), QDateTime::currentDateTime(), suffix);
}

int16_t writeSnapshot(const QImage& picture, int sizeIndex, int16_t compressionRate, const QString& path)
{
    const QSize size = snapshotSize(sizeIndex);
    // The writer takes the rate as one byte; the settings hold it within 0..100.
    const auto rate = static_cast<uint8_t>(std::clamp<int>(compressionRate, 0, 255));
    const QImage scaled = sResizePicture(picture, size.height(), size.width());
    const int16_t code = DCSavetoJPEG(scaled, size.width(), size.height(), path, rate, 0);
    // The picture shows the user's home: for the user's eyes alone.
    if (code == 0)
        makeOwnerOnly(path);
    return code;
}
