#pragma once

#include "history/HistoryLog.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QDir>
#include <QList>
#include <QMultiHash>
#include <QSize>

#include <utility>
#include <vector>

class ThumbnailLoader;

// The alarms of the history file as a table, newest first, optionally of one
// day only; the snapshot column shows the first snapshot as a thumbnail.
class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TimeColumn, SnapshotColumn, CountColumn, ClipColumn, MailColumn, UploadColumn, ColumnCount };
    enum Role {
        SnapshotPathRole = Qt::UserRole,  // absolute path of the first snapshot, "" when there is none
        ClipPathRole,                     // absolute path of the clip, "" when none was recorded
        FailuresRole,                     // why each thing that failed failed, a line each; "" when none did
    };
    static constexpr QSize kThumbnailSize{80, 60};

    explicit HistoryModel(QObject* parent = nullptr);

    void setContents(HistoryContents contents);
    // While an alarm is under way the newest record is not over yet, not interrupted.
    void setAlarmUnderWay(bool underWay);
    // An invalid day shows every alarm.
    void setDay(QDate day);
    QDate day() const { return day_; }
    // The days holding alarms, newest first, each with its number of alarms.
    QList<std::pair<QDate, int>> days() const;
    int alarmTotal() const { return int(contents_.alarms.size()); }
    const AlarmRecord& record(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void selectRows();
    QString displayText(const AlarmRecord& record, int column) const;
    QString toolTip(const AlarmRecord& record, int column) const;
    static QString failures(const AlarmRecord& record);
    bool removed(const QString& path) const { return contents_.removedFiles.contains(path); }
    bool interrupted(const AlarmRecord& record) const;
    void thumbnailLoaded(const QString& path);

    HistoryContents contents_;
    QDate day_;
    bool alarmUnderWay_ = false;
    std::vector<int> rows_;  // indexes into contents_.alarms, newest first
    QDir folder_;            // the records' paths are relative to it
    // Rows shown before their thumbnail was read, by the snapshot's path.
    mutable QMultiHash<QString, int> waiting_;
    ThumbnailLoader* thumbnails_;
};
