#include "history/frmHistory.h"

#include "history/HistoryModel.h"
#include "settings/WatchEvent.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

frmHistory::frmHistory(QString historyPath, FileOpener openFile, QWidget* parent)
    : QDialog(parent), historyPath_(std::move(historyPath)), openFile_(std::move(openFile)),
      model_(new HistoryModel(this))
{
    setWindowTitle(tr("警報履歴"));

    auto* top = new QHBoxLayout;
    auto* dayLabel = new QLabel(tr("日付(&D):"), this);
    cboDay = new QComboBox(this);
    cboDay->setObjectName(QStringLiteral("cboDay"));
    cboDay->setMinimumContentsLength(16);
    dayLabel->setBuddy(cboDay);
    lblTotal = new QLabel(this);
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    top->addWidget(dayLabel);
    top->addWidget(cboDay);
    top->addStretch();
    top->addWidget(lblTotal);

    lstHistory = new QTreeView(this);
    lstHistory->setObjectName(QStringLiteral("lstHistory"));
    lstHistory->setRootIsDecorated(false);
    // Rows of one height let the view skip measuring ten thousand of them.
    lstHistory->setUniformRowHeights(true);
    lstHistory->setAlternatingRowColors(true);
    lstHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstHistory->setIconSize(HistoryModel::kThumbnailSize);
    lstHistory->setModel(model_);
    lblFailures = new QLabel(this);
    lblFailures->setObjectName(QStringLiteral("lblFailures"));
    lblFailures->setWordWrap(true);
    lblFailures->setTextInteractionFlags(Qt::TextSelectableByMouse);

    cmdSnapshot = new QPushButton(tr("画像を開く(&I)"), this);
    cmdSnapshot->setObjectName(QStringLiteral("cmdSnapshot"));
    cmdClip = new QPushButton(tr("動画を開く(&V)"), this);
    cmdClip->setObjectName(QStringLiteral("cmdClip"));
    cmdClose = new QPushButton(tr("閉じる(&C)"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdSnapshot);
    bottom->addWidget(cmdClip);
    bottom->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lstHistory);
    layout->addWidget(lblFailures);
    layout->addLayout(bottom);
    fitColumns();

    connect(cboDay, &QComboBox::activated, this, &frmHistory::dayChosen);
    connect(cmdSnapshot, &QPushButton::clicked, this, [this] { openCurrent(HistoryModel::SnapshotPathRole); });
    connect(cmdClip, &QPushButton::clicked, this, [this] { openCurrent(HistoryModel::ClipPathRole); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(lstHistory, &QTreeView::activated, this, [this](const QModelIndex& index) {
        openCurrent(index.column() == HistoryModel::ClipColumn ? HistoryModel::ClipPathRole
                                                                : HistoryModel::SnapshotPathRole);
    });
    connect(lstHistory->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &frmHistory::showCurrent);
    connect(model_, &QAbstractItemModel::modelReset, this, &frmHistory::showCurrent);
}

void frmHistory::fitColumns()
{
    // What a column usually holds; a failure's reason may run longer, cut in
    // its cell and shown whole below the list.
    const QString usual[HistoryModel::ColumnCount] = {
        QStringLiteral("2024/05/01 12:03:09") + HistoryModel::tr(" (中断)"), {}, QStringLiteral("99999 / 9999"),
        QStringLiteral("240501120312_ALERT_2.AVI") + HistoryModel::tr(" (削除済み)"), QStringLiteral("A○ B○ C○ D○"),
        QStringLiteral("○240501120312_ALERT_2.AVI")};
    lstHistory->ensurePolished();
    const QFontMetrics metrics(lstHistory->font());
    const QStyle* style = lstHistory->style();
    const int padding = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lstHistory) + 1) + 12;
    int total = 0;
    for (int column = 0; column < HistoryModel::ColumnCount; ++column) {
        const int width = column == HistoryModel::SnapshotColumn ? HistoryModel::kThumbnailSize.width() + 16
                                                                  : metrics.horizontalAdvance(usual[column]) + padding;
        lstHistory->setColumnWidth(column, width);
        total += width;
    }
    // The window opens wide enough for all of them beside a vertical scroll bar.
    const QMargins margins = layout()->contentsMargins();
    resize(total + margins.left() + margins.right() + 2 * lstHistory->frameWidth() +
               style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lstHistory) + 4,
           520);
}

void frmHistory::hear(const WatchEvent& event)
{
    using Kind = WatchEvent::Kind;
    if (event.kind == Kind::Alarm || event.kind == Kind::AlarmOver || event.kind == Kind::Stopped)
        model_->setAlarmUnderWay(event.kind == Kind::Alarm);
    const bool changes = event.kind == Kind::AlarmOver || event.kind == Kind::Uploaded ||
                         event.kind == Kind::FileRemoved || event.kind == Kind::Stopped ||
                         event.kind == Kind::CommandEnded;
    if (!changes || !isVisible() || reloadQueued_)
        return;
    // After the history has written its line, once the event that caused it is over.
    reloadQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        reloadQueued_ = false;
        reload();
    });
}

void frmHistory::showEvent(QShowEvent* event)
{
    reload();
    QDialog::showEvent(event);
}

void frmHistory::reload()
{
    const QDate day = model_->day();
    model_->setContents(readHistory(historyPath_));
    fillDays();
    const int dayIndex = cboDay->findData(day);
    cboDay->setCurrentIndex(std::max(dayIndex, 0));
    model_->setDay(dayIndex > 0 ? day : QDate());
}

void frmHistory::fillDays()
{
    cboDay->clear();
    cboDay->addItem(tr("すべて (%1件)").arg(model_->alarmTotal()), QDate());
    for (const auto& [day, alarms] : model_->days())
        cboDay->addItem(tr("%1 (%2件)").arg(day.toString(QStringLiteral("yyyy/MM/dd"))).arg(alarms), day);
}

void frmHistory::dayChosen()
{
    model_->setDay(cboDay->currentData().toDate());
}

void frmHistory::showCurrent()
{
    const QModelIndex current = lstHistory->currentIndex();
    lblTotal->setText(tr("%n件", nullptr, model_->rowCount()));
    cmdSnapshot->setEnabled(current.isValid() && !current.data(HistoryModel::SnapshotPathRole).toString().isEmpty());
    cmdClip->setEnabled(current.isValid() && !current.data(HistoryModel::ClipPathRole).toString().isEmpty());
    lblFailures->setText(current.isValid() ? current.data(HistoryModel::FailuresRole).toString() : QString());
}

void frmHistory::openCurrent(int role)
{
    const QString path = lstHistory->currentIndex().data(role).toString();
    if (!path.isEmpty())
        openFile_(path);
}
