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

// Where the later lines of each alarm find its record.
struct RecordIndex {
    QHash<qint64, size_t> byTime;
    QHash<QString, size_t> byClip;

    void add(const AlarmRecord& record, size_t index)
    {
        byTime.insert(record.time.toMSecsSinceEpoch(), index);
        addClip(record, index);
    }
    void addClip(const AlarmRecord& record, size_t index)
    {
        if (!record.clip.isEmpty())
            byClip.insert(record.clip, index);
    }
    std::optional<size_t> find(const QJsonObject& line, bool orByClip) const
    {
        const QDateTime alarm = historyTimeFromText(line[QStringLiteral("alarm")].toString());
        const QString clip = line[QStringLiteral("clip")].toString();
        if (alarm.isValid() && byTime.contains(alarm.toMSecsSinceEpoch()))
            return byTime.value(alarm.toMSecsSinceEpoch());
        if (orByClip && !clip.isEmpty() && byClip.contains(clip))
            return byClip.value(clip);
        return std::nullopt;
    }
};

HistoryContents parseHistory(const QByteArray& bytes)
{
    HistoryContents contents;
    RecordIndex records;
    for (const QByteArray& line : bytes.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const std::optional<QJsonObject> object = parseLine(line);
        const QString type = object ? (*object)[QStringLiteral("type")].toString() : QString();
        if (type == QStringLiteral("alarm")) {
            if (std::optional<AlarmRecord> record = alarmFromJson(*object)) {
                records.add(*record, contents.alarms.size());
                contents.alarms.push_back(std::move(*record));
                continue;
            }
        } else if (type == QStringLiteral("result") || type == QStringLiteral("upload")) {
            // An upload may name only its clip: one made again after a restart.
            const bool upload = type == QStringLiteral("upload");
            if (const std::optional<size_t> index = records.find(*object, upload)) {
                AlarmRecord& record = contents.alarms[*index];
                if (upload)
                    record.upload = uploadFromJson(*object);
                else
                    mergeResult(record, *object);
                records.addClip(record, *index);
                continue;
            }
            // Its alarm's record is lost: counted as damaged below.
        } else if (type == QStringLiteral("removed")) {
            contents.removedFiles.insert((*object)[QStringLiteral("file")].toString());
            continue;
        } else if (type == QStringLiteral("mask")) {
            continue;  // for the reader of the file; the window lists alarms
        }
        ++contents.damagedLines;
    }
    return contents;
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
    return parseHistory(readTail(path, kLongestRead));
}

std::optional<AlarmRecord> readLatestAlarm(const QString& path)
{
    HistoryContents contents = parseHistory(readTail(path, kTailRead));
    if (contents.alarms.empty())
        return std::nullopt;
    return std::move(contents.alarms.back());
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
