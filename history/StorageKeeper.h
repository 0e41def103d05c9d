#pragma once

#include "settings/WatchEvent.h"

#include <QDateTime>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// Bounds on the snapshots and clips kept in img/ and avi/ (Settings.EXT
// KEEPMB and KEEPDAYS); 0 means no bound.
struct StorageLimits {
    int64_t maxBytes = 0;
    int maxDays = 0;
    bool any() const { return maxBytes > 0 || maxDays > 0; }
};
StorageLimits storageLimitsFromSettings();

// A snapshot or clip the program made: img/YYMMDDhhmmss_ALERT.jpg or _TEST.jpg,
// avi/YYMMDDhhmmss_ALERT.AVI (each also with "_2" ... before the extension) or
// avi/ALERT.AVI. Nothing else there is touched.
struct StoredFile {
    QString path;
    qint64 size = 0;
    QDateTime modified;
};
std::vector<StoredFile> storedFiles(const QString& appFolder);
// Whether a file name is one the program gives a snapshot (img/) or a clip (avi/).
bool isSnapshotName(const QString& name);
bool isClipName(const QString& name);

// The files to delete, oldest first, so that what stays is younger than the
// days and together within the bytes. Files in `kept` and files modified at or
// after `keptSince` always stay, even when the bound then cannot hold.
std::vector<StoredFile> filesBeyondLimits(std::vector<StoredFile> files, const StorageLimits& limits,
                                          const QSet<QString>& kept, const QDateTime& keptSince,
                                          const QDateTime& now);

// Keeps the application folder's snapshots and clips within the limits of the
// settings after every alarm, never touching that alarm's files nor the files
// `inUse` names (absolute paths: clips still waiting for their upload), and
// tells a FileRemoved event for every file deleted.
class StorageKeeper {
public:
    using FilesInUse = std::function<QSet<QString>()>;
    StorageKeeper(QString appFolder, WatchTeller tell, FilesInUse inUse = {});
    StorageKeeper(const StorageKeeper&) = delete;
    StorageKeeper& operator=(const StorageKeeper&) = delete;

    void hear(const WatchEvent& event);
    // At start-up: the latest alarm is the newest in the history file.
    void keepAfterStart(const QString& historyPath);

private:
    void keep();

    QString appFolder_;
    WatchTeller tell_;
    FilesInUse inUse_;
    QSet<QString> latestFiles_;
    QDateTime latestAlarm_;
};
