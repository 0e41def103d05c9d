#include "history/HistoryLog.h"
#include "history/HistoryModel.h"
#include "history/frmHistory.h"
#include "settings/AppPaths.h"
#include "tests/support/TempAppFolder.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestLanguage.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QJsonDocument>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

constexpr int kAlarms = 10000;
constexpr int kDays = 20;
constexpr qint64 kSpacingMs = qint64(kDays) * 86400 * 1000 / kAlarms;

class HistoryWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testApplication<QApplication>();
        useTestLanguage("ja");
        appFolder();  // makes img/ and avi/
        // kAlarms alarms over kDays days, the newest with real files; a torn line and a removal between.
        QByteArray lines;
        for (int index = 0; index < kAlarms; ++index) {
            AlarmRecord record;
            record.time = start.addMSecs(qint64(index) * kSpacingMs);
            record.count = 100 + index;
            record.alarmCount = 100;
            record.snapshots = {QStringLiteral("img/%1_ALERT.jpg").arg(index)};
            record.mails = {{QStringLiteral("A"), true, QStringLiteral("owner@example.net")},
                            {QStringLiteral("B"), true, {}}, {QStringLiteral("C"), true, {}}, {QStringLiteral("D"), true, {}}};
            record.clip = clipName(index);
            record.clipRecorded = true;
            record.upload = UploadResult{true, QFileInfo(record.clip).fileName(), {}};
            lines += QJsonDocument(alarmToJson(record)).toJson(QJsonDocument::Compact) + '\n';
            if (index == kAlarms / 2)
                lines += "{\"type\":\"alarm\",\"time\":\"2024-\n";
        }
        lines += "\n{\"type\":\"removed\",\"file\":\"" + clipName(kAlarms - 2).toUtf8() + "\"}\n";
        writeFileBytes(log(), lines);
        QImage picture(640, 480, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        ASSERT_TRUE(picture.save(home.filePath(QStringLiteral("img/%1_ALERT.jpg").arg(kAlarms - 1)), "JPEG"));
    }

    QString log() const { return home.filePath(QStringLiteral("history.log")); }
    // A clip's name as the program makes them, the second of its second.
    static QString clipName(int index) { return QStringLiteral("avi/24%1_ALERT_2.AVI").arg(index, 10, 10, QChar(u'0')); }
    QModelIndex cell(const frmHistory& window, int row, int column) const
    {
        return window.lstHistory->model()->index(row, column);
    }

    TempAppFolder home;
    const QDateTime start = QDateTime(QDate(2024, 4, 1), QTime(0, 0, 30));
};

TEST_F(HistoryWindowTest, TenThousandAlarmsListNewestFirstFilterByDayAndShowRemovedClips)
{
    frmHistory window(log(), [](const QString&) {});
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.lstHistory->isVisible(); }, 10000));
    QApplication::processEvents();

    const HistoryModel& model = *window.model();
    ASSERT_EQ(model.rowCount(), kAlarms);
    EXPECT_EQ(cell(window, 0, HistoryModel::CountColumn).data().toString(), QStringLiteral("%1 / 100").arg(99 + kAlarms));
    EXPECT_EQ(cell(window, kAlarms - 1, HistoryModel::TimeColumn).data().toString(),
              start.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
    EXPECT_EQ(cell(window, 0, HistoryModel::ClipColumn).data().toString(), QStringLiteral("240000009999_ALERT_2.AVI"));
    EXPECT_EQ(cell(window, 1, HistoryModel::ClipColumn).data().toString(),
              QStringLiteral("240000009998_ALERT_2.AVI (削除済み)"));
    EXPECT_EQ(window.lblTotal->text(), QStringLiteral("%1件").arg(kAlarms));
    // At the window's first size every column shows what it holds, side by side.
    const QAbstractItemView& view = *window.lstHistory;  // where the measure of a column is public
    for (int column = 0; column < HistoryModel::ColumnCount; ++column)
        EXPECT_GE(window.lstHistory->columnWidth(column), view.sizeHintForColumn(column)) << column;
    EXPECT_LE(window.lstHistory->header()->length(), window.lstHistory->viewport()->width());

    // Every day of the twenty, newest first, after "all".
    ASSERT_EQ(window.cboDay->count(), kDays + 1);
    const QDate lastDay = start.addMSecs(qint64(kAlarms - 1) * kSpacingMs).date();
    EXPECT_EQ(window.cboDay->itemData(1).toDate(), lastDay);
    const QDate chosen = start.date().addDays(7);
    const int chosenIndex = window.cboDay->findData(chosen);
    ASSERT_GT(chosenIndex, 0);
    window.cboDay->setCurrentIndex(chosenIndex);
    emit window.cboDay->activated(chosenIndex);
    ASSERT_EQ(model.rowCount(), kAlarms / kDays);
    for (int row = 0; row < model.rowCount(); ++row)
        ASSERT_EQ(model.record(row).time.date(), chosen) << row;
    EXPECT_GT(model.record(0).time, model.record(model.rowCount() - 1).time);
    EXPECT_EQ(window.lblTotal->text(), QStringLiteral("%1件").arg(kAlarms / kDays));
    window.cboDay->setCurrentIndex(0);
    emit window.cboDay->activated(0);
    EXPECT_EQ(model.rowCount(), kAlarms);

    // Thumbnails come as they are read; a removed clip cannot be opened.
    const QModelIndex newest = cell(window, 0, HistoryModel::SnapshotColumn);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !newest.data(Qt::DecorationRole).value<QImage>().isNull(); }, 10000));
    const QImage thumbnail = newest.data(Qt::DecorationRole).value<QImage>();
    EXPECT_TRUE(thumbnail.width() <= 80 && thumbnail.height() <= 60) << thumbnail.width() << "x" << thumbnail.height();
    EXPECT_TRUE(cell(window, 1, HistoryModel::SnapshotColumn).data(Qt::DecorationRole).isNull());

    window.lstHistory->setCurrentIndex(cell(window, 1, HistoryModel::TimeColumn));
    EXPECT_TRUE(window.cmdSnapshot->isEnabled());
    EXPECT_FALSE(window.cmdClip->isEnabled()) << "the clip was removed";

    // The alarm under way is not over yet; once watching stops without its end, it is interrupted.
    AlarmRecord open;
    open.time = QDateTime::currentDateTime();
    open.interrupted = true;
    ASSERT_TRUE(appendHistoryLine(log(), alarmToJson(open)));
    window.hear({.kind = WatchEvent::Kind::Alarm});
    window.reload();
    const auto newestTime = [&] { return cell(window, 0, HistoryModel::TimeColumn).data().toString(); };
    EXPECT_EQ(newestTime(), open.time.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
    window.hear({.kind = WatchEvent::Kind::Stopped});
    EXPECT_TRUE(newestTime().endsWith(QStringLiteral(" (中断)"))) << newestTime().toStdString();
}

}  // namespace
