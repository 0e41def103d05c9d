#include "history/ThumbnailLoader.h"

#include <QImageReader>
#include <QMetaObject>

namespace {

// Some thousand pictures of 80 x 60: a few megabytes.
constexpr int kCachedPictures = 2000;

}  // namespace

ThumbnailLoader::ThumbnailLoader(QSize size, QObject* parent) : QObject(parent), size_(size), cache_(kCachedPictures)
{
    pool_.setMaxThreadCount(1);
}

ThumbnailLoader::~ThumbnailLoader()
{
    pool_.clear();
    pool_.waitForDone();
}

QImage ThumbnailLoader::thumbnail(const QString& path)
{
    if (const QImage* cached = cache_.object(path))
        return *cached;
    if (asked_.contains(path) || unreadable_.contains(path))
        return {};
    asked_.insert(path);
    pool_.start([this, path, size = size_] {
        QImageReader reader(path);
        // The JPEG decoder scales while it reads: far less work than reading whole.
        const QSize full = reader.size();
        if (full.isValid())
            reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatio));
        const QImage picture = reader.read();
        QMetaObject::invokeMethod(this, [this, path, picture] { store(path, picture); }, Qt::QueuedConnection);
    });
    return {};
}

void ThumbnailLoader::store(const QString& path, const QImage& picture)
{
    asked_.remove(path);
    if (picture.isNull()) {
        unreadable_.insert(path);
        return;
    }
    cache_.insert(path, new QImage(picture));
    emit loaded(path);
}
