#include "history/HistoryLog.h"

#include "settings/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonDocument>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The reader takes at most the newest 64 MB: some hundred thousand alarms.
constexpr qint64 kLongestRead = 64LL * 1024 * 1024;
// The newest alarm lies within the last lines.
constexpr qint64 kTailRead = 1024 * 1024;

// The bytes of the file from `fromEnd` bytes before its end; the first,
// possibly cut, line dropped when the read did not start at the beginning.
QByteArray readTail(const QString& path, qint64 fromEnd)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 start = std::max<qint64>(0, file.size() - fromEnd);
    if (!file.seek(start))
        return {};
    QByteArray bytes = file.readAll();
    if (start > 0)
        bytes.remove(0, bytes.indexOf('\n') + 1);
    return bytes;
}

std::optional<QJsonObject> parseLine(const QByteArray& line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

void mergeUpload(HistoryContents& contents, const QHash<qint64, size_t>& byTime,
                 const QHash<QString, size_t>& byClip, const QJsonObject& object)
{
    const QDateTime alarm = historyTimeFromText(object[QStringLiteral("alarm")].toString());
    const QString clip = object[QStringLiteral("clip")].toString();
    std::optional<size_t> index;
    if (alarm.isValid() && byTime.contains(alarm.toMSecsSinceEpoch()))
        index = byTime.value(alarm.toMSecsSinceEpoch());
    else if (!clip.isEmpty() && byClip.contains(clip))
        index = byClip.value(clip);
    if (index)
        contents.alarms[*index].upload = uploadFromJson(object);
    else
        ++contents.damagedLines;  // its alarm's record is lost
}

}  // namespace

QString historyLogPath()
{
    return appFilePath(QStringLiteral("history.log"));
}

bool appendHistoryLine(const QString& path, const QJsonObject& line)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    // It names recipients and files: the user's alone, also when made otherwise.
    ::fchmod(fd, S_IRUSR | S_IWUSR);
    QByteArray bytes = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
    struct stat status {};
    char last = '\n';
    if (::fstat(fd, &status) != 0 || (status.st_size > 0 && ::pread(fd, &last, 1, status.st_size - 1) != 1)) {
        ::close(fd);
        return false;
    }
    if (last != '\n')
        bytes.prepend('\n');
    ssize_t written = -1;
    do {
        written = ::write(fd, bytes.constData(), size_t(bytes.size()));
    } while (written < 0 && errno == EINTR);
    const bool whole = written == bytes.size();
    if (!whole && written > 0)
        (void)::ftruncate(fd, status.st_size);
    return ::close(fd) == 0 && whole;
}

HistoryContents readHistory(const QString& path)
{
    HistoryContents contents;
    QHash<qint64, size_t> byTime;
    QHash<QString, size_t> byClip;
    const QByteArray bytes = readTail(path, kLongestRead);
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const std::optional<QJsonObject> object = parseLine(line);
        const QString type = object ? (*object)[QStringLiteral("type")].toString() : QString();
        if (type == QStringLiteral("alarm")) {
            if (std::optional<AlarmRecord> record = alarmFromJson(*object)) {
                byTime.insert(record->time.toMSecsSinceEpoch(), contents.alarms.size());
                if (!record->clip.isEmpty())
                    byClip.insert(record->clip, contents.alarms.size());
                contents.alarms.push_back(std::move(*record));
                continue;
            }
        } else if (type == QStringLiteral("upload")) {
            mergeUpload(contents, byTime, byClip, *object);
            continue;
        } else if (type == QStringLiteral("removed")) {
            contents.removedFiles.insert((*object)[QStringLiteral("file")].toString());
            continue;
        }
        ++contents.damagedLines;
    }
    return contents;
}

std::optional<AlarmRecord> readLatestAlarm(const QString& path)
{
    const QList<QByteArray> lines = readTail(path, kTailRead).split('\n');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (const std::optional<QJsonObject> object = parseLine(*line))
            if (std::optional<AlarmRecord> record = alarmFromJson(*object))
                return record;
    }
    return std::nullopt;
}

QString historyPathOf(const QString& path)
{
    const QString relative = QDir(appFolder()).relativeFilePath(path);
    return relative.startsWith(QStringLiteral("..")) || QDir::isAbsolutePath(relative) ? path : relative;
}

QString absoluteHistoryPath(const QString& path)
{
    return QDir::isAbsolutePath(path) ? path : QDir(appFolder()).filePath(path);
}
