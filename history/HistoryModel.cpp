#include "history/HistoryModel.h"

#include "history/ThumbnailLoader.h"

#include "settings/AppPaths.h"

#include <QFileInfo>
#include <QMap>

namespace {

QString mark(bool ok)
{
    return ok ? QStringLiteral("○") : QStringLiteral("×");
}

QString fileName(const QString& path)
{
    return QFileInfo(path).fileName();
}

}  // namespace

HistoryModel::HistoryModel(QObject* parent)
    : QAbstractTableModel(parent), thumbnails_(new ThumbnailLoader(kThumbnailSize, this))
{
    connect(thumbnails_, &ThumbnailLoader::loaded, this, &HistoryModel::thumbnailLoaded);
}

void HistoryModel::setContents(HistoryContents contents)
{
    beginResetModel();
    folder_ = QDir(appFolder());
    contents_ = std::move(contents);
    selectRows();
    endResetModel();
}

void HistoryModel::setAlarmUnderWay(bool underWay)
{
    alarmUnderWay_ = underWay;
    if (!rows_.empty())
        emit dataChanged(index(0, TimeColumn), index(rowCount() - 1, TimeColumn), {Qt::DisplayRole});
}

bool HistoryModel::interrupted(const AlarmRecord& record) const
{
    return record.interrupted && !(alarmUnderWay_ && &record == &contents_.alarms.back());
}

void HistoryModel::setDay(QDate day)
{
    beginResetModel();
    day_ = day;
    selectRows();
    endResetModel();
}

void HistoryModel::selectRows()
{
    rows_.clear();
    waiting_.clear();
    for (int index = int(contents_.alarms.size()) - 1; index >= 0; --index)
        if (!day_.isValid() || contents_.alarms[size_t(index)].time.date() == day_)
            rows_.push_back(index);
}

QList<std::pair<QDate, int>> HistoryModel::days() const
{
    QMap<QDate, int> counts;
    for (const AlarmRecord& record : contents_.alarms)
        ++counts[record.time.date()];
    QList<std::pair<QDate, int>> days;
    for (auto day = counts.constKeyValueEnd(); day != counts.constKeyValueBegin();) {
        --day;
        days.append({day->first, day->second});
    }
    return days;
}

const AlarmRecord& HistoryModel::record(int row) const
{
    return contents_.alarms[size_t(rows_[size_t(row)])];
}

int HistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const titles[ColumnCount] = {QT_TR_NOOP("日時"), QT_TR_NOOP("画像"), QT_TR_NOOP("検知数"),
                                                    QT_TR_NOOP("動画"), QT_TR_NOOP("ﾒｰﾙ"),   QT_TR_NOOP("FTP")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return tr(titles[section]);
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const AlarmRecord& alarm = record(index.row());
    const QString snapshot =
        alarm.snapshots.isEmpty() || removed(alarm.snapshots.first()) ? QString() : alarm.snapshots.first();
    switch (role) {
    case Qt::DisplayRole:
        return displayText(alarm, index.column());
    case Qt::ToolTipRole:
        return toolTip(alarm, index.column());
    case Qt::DecorationRole:
        if (index.column() == SnapshotColumn && !snapshot.isEmpty()) {
            const QString path = folder_.filePath(snapshot);
            const QImage picture = thumbnails_->thumbnail(path);
            if (!picture.isNull())
                return picture;
            if (!waiting_.contains(path, index.row()))
                waiting_.insert(path, index.row());
        }
        return {};
    case Qt::SizeHintRole:
        return index.column() == SnapshotColumn ? QVariant(kThumbnailSize + QSize(8, 4)) : QVariant();
    case SnapshotPathRole:
        return snapshot.isEmpty() ? QString() : folder_.filePath(snapshot);
    case ClipPathRole:
        return alarm.clipRecorded && !removed(alarm.clip) ? folder_.filePath(alarm.clip) : QString();
    case FailuresRole:
        return failures(alarm);
    default:
        return {};
    }
}

QString HistoryModel::displayText(const AlarmRecord& alarm, int column) const
{
    switch (column) {
    case TimeColumn:
        return alarm.time.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")) +
               (interrupted(alarm) ? tr(" (中断)") : QString());
    case SnapshotColumn:
        if (!alarm.snapshots.isEmpty())
            return removed(alarm.snapshots.first()) ? tr("削除済み") : QString();
        return alarm.snapshotFailures.isEmpty() ? QString() : mark(false) + alarm.snapshotFailures.first();
    case CountColumn:
        return QStringLiteral("%1 / %2").arg(alarm.count).arg(alarm.alarmCount);
    case ClipColumn:
        if (alarm.clip.isEmpty())
            return {};
        if (!alarm.clipRecorded)
            return mark(false) + alarm.clipFailure;
        return fileName(alarm.clip) + (removed(alarm.clip) ? tr(" (削除済み)") : QString());
    case MailColumn: {
        QStringList results;
        // A failure shows its reason; the view cuts it, the tooltip and the failures line show it whole.
        for (const MailResult& mail : alarm.mails)
            results.append(mail.destination + mark(mail.ok) + (mail.ok ? QString() : mail.detail));
        return results.join(u' ');
    }
    case UploadColumn:
        if (!alarm.upload)
            return {};
        return mark(alarm.upload->ok) + alarm.upload->name +
               (alarm.upload->failure.isEmpty() ? QString() : QStringLiteral(": ") + alarm.upload->failure);
    default:
        return {};
    }
}

QString HistoryModel::toolTip(const AlarmRecord& alarm, int column) const
{
    switch (column) {
    case SnapshotColumn:
        return (alarm.snapshots + alarm.snapshotFailures).join(u'\n');
    case ClipColumn:
        return alarm.clipRecorded ? alarm.clip : alarm.clipFailure;
    case MailColumn: {
        QStringList results;
        for (const MailResult& mail : alarm.mails)
            results.append(QStringLiteral("%1 %2 %3").arg(mail.destination, mark(mail.ok), mail.detail));
        return results.join(u'\n');
    }
    case UploadColumn:
        return alarm.upload ? alarm.upload->failure : QString();
    default:
        return {};
    }
}

QString HistoryModel::failures(const AlarmRecord& alarm)
{
    QStringList lines;
    for (const QString& failure : alarm.snapshotFailures)
        lines.append(tr("画像: %1").arg(failure));
    if (!alarm.clip.isEmpty() && !alarm.clipRecorded)
        lines.append(tr("動画: %1").arg(alarm.clipFailure));
    for (const MailResult& mail : alarm.mails)
        if (!mail.ok)
            lines.append(tr("ﾒｰﾙ %1: %2").arg(mail.destination, mail.detail));
    if (alarm.upload && !alarm.upload->ok)
        lines.append(QStringLiteral("FTP %1: %2").arg(alarm.upload->name, alarm.upload->failure));
    return lines.join(u'\n');
}

void HistoryModel::thumbnailLoaded(const QString& path)
{
    for (const int row : waiting_.values(path)) {
        const QModelIndex cell = index(row, SnapshotColumn);
        emit dataChanged(cell, cell, {Qt::DecorationRole});
    }
    waiting_.remove(path);
}
