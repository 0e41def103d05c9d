#include "history/StorageKeeper.h"

#include "history/HistoryLog.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr int64_t kBytesPerMb = 1024 * 1024;

bool allDigits(QStringView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// "YYMMDDhhmmss_", `kind`, "_2" ... for a second file of the same second, `extension`.
bool isStampedName(QStringView name, QLatin1StringView kind, QLatin1StringView extension)
{
    constexpr qsizetype kStamp = 12;
    if (name.size() < kStamp + 1 + kind.size() + extension.size() || !allDigits(name.first(kStamp)) ||
        name[kStamp] != u'_' || !name.sliced(kStamp + 1).startsWith(kind) || !name.endsWith(extension))
        return false;
    const QStringView number = name.sliced(kStamp + 1 + kind.size()).chopped(extension.size());
    return number.isEmpty() || (number.startsWith(u'_') && allDigits(number.sliced(1)));
}

void addFiles(std::vector<StoredFile>& files, const QString& folder, bool (*named)(const QString&))
{
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::NoSymLinks))
        if (named(info.fileName()))
            files.push_back({info.absoluteFilePath(), info.size(), info.lastModified()});
}

}  // namespace

bool isSnapshotName(const QString& name)
{
    return isStampedName(name, QLatin1StringView("ALERT"), QLatin1StringView(".jpg")) ||
           isStampedName(name, QLatin1StringView("TEST"), QLatin1StringView(".jpg"));
}

bool isClipName(const QString& name)
{
    return name == QLatin1StringView("ALERT.AVI") || isStampedName(name, QLatin1StringView("ALERT"), QLatin1StringView(".AVI"));
}

StorageLimits storageLimitsFromSettings()
{
    return {int64_t(Settings.EXT.KEEPMB) * kBytesPerMb, Settings.EXT.KEEPDAYS};
}

std::vector<StoredFile> storedFiles(const QString& appFolder)
{
    std::vector<StoredFile> files;
    const QDir folder(appFolder);
    addFiles(files, folder.filePath(QStringLiteral("img")), &isSnapshotName);
    addFiles(files, folder.filePath(QStringLiteral("avi")), &isClipName);
    return files;
}

std::vector<StoredFile> filesBeyondLimits(std::vector<StoredFile> files, const StorageLimits& limits,
                                          const QSet<QString>& kept, const QDateTime& keptSince,
                                          const QDateTime& now)
{
    std::sort(files.begin(), files.end(), [](const StoredFile& a, const StoredFile& b) {
        return a.modified != b.modified ? a.modified < b.modified : a.path < b.path;
    });
    int64_t total = 0;
    for (const StoredFile& file : files)
        total += file.size;
    const QDateTime oldestKept = now.addDays(-limits.maxDays);
    std::vector<StoredFile> beyond;
    for (const StoredFile& file : files) {
        const bool tooOld = limits.maxDays > 0 && file.modified < oldestKept;
        const bool tooMuch = limits.maxBytes > 0 && total > limits.maxBytes;
        if (!tooOld && !tooMuch)
            break;  // the rest is younger and fits
        if (kept.contains(file.path) || (keptSince.isValid() && file.modified >= keptSince))
            continue;
        beyond.push_back(file);
        total -= file.size;
    }
    return beyond;
}

StorageKeeper::StorageKeeper(QString appFolder, WatchTeller tell, FilesInUse inUse)
    : appFolder_(std::move(appFolder)), tell_(std::move(tell)), inUse_(std::move(inUse))
{
}

void StorageKeeper::hear(const WatchEvent& event)
{
    using Kind = WatchEvent::Kind;
    switch (event.kind) {
    case Kind::Alarm:
        latestFiles_.clear();
        latestAlarm_ = QDateTime::currentDateTime();
        return;
    case Kind::Snapshot:
    case Kind::ClipRecorded:
        if (event.ok)
            latestFiles_.insert(QFileInfo(event.name).absoluteFilePath());
        return;
    case Kind::AlarmOver:
        keep();
        return;
    default:
        return;
    }
}

void StorageKeeper::keepAfterStart(const QString& historyPath)
{
    latestFiles_.clear();
    latestAlarm_ = {};
    if (const std::optional<AlarmRecord> latest = readLatestAlarm(historyPath)) {
        latestAlarm_ = latest->time;
        for (const QString& file : latest->snapshots + QStringList{latest->clip})
            if (!file.isEmpty())
                latestFiles_.insert(QFileInfo(absoluteHistoryPath(file)).absoluteFilePath());
    }
    keep();
}

void StorageKeeper::keep()
{
    const StorageLimits limits = storageLimitsFromSettings();
    if (!limits.any())
        return;
    QSet<QString> kept = latestFiles_;
    if (inUse_)
        kept.unite(inUse_());
    for (const StoredFile& file :
         filesBeyondLimits(storedFiles(appFolder_), limits, kept, latestAlarm_, QDateTime::currentDateTime())) {
        // A file that will not go (taken away already, or not ours to remove) is left to the next round.
        if (QFile::remove(file.path))
            tell_({.kind = WatchEvent::Kind::FileRemoved, .name = file.path});
    }
}
