#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>

// Small pictures of snapshot files, read on a thread of their own when first
// asked for, so a long list opens at once and fills in as it is looked at.
class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailLoader(QSize size, QObject* parent = nullptr);
    ~ThumbnailLoader() override;  // waits for a reading under way

    // The picture when it has been read; otherwise null, and it is read now.
    // A file that cannot be read (removed, damaged) stays null.
    QImage thumbnail(const QString& path);

signals:
    void loaded(const QString& path);

private:
    void store(const QString& path, const QImage& picture);

    QSize size_;
    QThreadPool pool_;
    QCache<QString, QImage> cache_;
    QSet<QString> asked_;
    QSet<QString> unreadable_;
};
