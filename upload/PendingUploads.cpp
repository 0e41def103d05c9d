#include "upload/PendingUploads.h"

#include "settings/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kClips = QStringLiteral("clips");

QString listPath(const QString& appFolder)
{
    return QDir(appFolder).filePath(kPendingUploadsName);
}

bool writeList(const QString& appFolder, const QStringList& clips)
{
    const QString path = listPath(appFolder);
    bool written = clips.isEmpty()
                       ? QFile::remove(path) || !QFile::exists(path)
                       : writeFileAtomically(path, QJsonDocument(QJsonObject{{kClips, QJsonArray::fromStringList(clips)}})
                                                       .toJson(QJsonDocument::Compact));
    // The upload goes on; only a later retry would be missed.
    if (!written)
        qWarning("upload: cannot write %s", qPrintable(path));
    return written;
}

}  // namespace

QStringList pendingUploads(const QString& appFolder)
{
    QFile file(listPath(appFolder));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList clips;
    for (const QJsonValue& clip : QJsonDocument::fromJson(file.readAll()).object().value(kClips).toArray())
        if (clip.isString() && !clips.contains(clip.toString()))
            clips << clip.toString();
    return clips;
}

bool notePendingUpload(const QString& appFolder, const QString& clipPath)
{
    QStringList clips = pendingUploads(appFolder);
    if (clips.contains(clipPath))
        return true;
    return writeList(appFolder, clips << clipPath);
}

bool clearPendingUpload(const QString& appFolder, const QString& clipPath)
{
    QStringList clips = pendingUploads(appFolder);
    if (clips.removeAll(clipPath) == 0)
        return true;
    return writeList(appFolder, clips);
}
