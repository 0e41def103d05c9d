#pragma once

#include "settings/WatchEvent.h"

#include <QDialog>
#include <QString>

#include <functional>

class HistoryModel;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeView;

// The alarm history window: every alarm newest first, with its snapshot, count,
// clip and results, filtered by day. Opens snapshots and clips in the desktop's
// viewer and player. Watching goes on while it is open; it follows new alarms.
class frmHistory : public QDialog {
    Q_OBJECT
public:
    // Opens a file with the desktop (and says so when it cannot).
    using FileOpener = std::function<void(const QString& path)>;

    frmHistory(QString historyPath, FileOpener openFile, QWidget* parent = nullptr);

    // New alarms, late uploads and removed files show while the window is open.
    void hear(const WatchEvent& event);
    // Reads the history file again, keeping the chosen day when it still has alarms.
    void reload();
    HistoryModel* model() const { return model_; }

    QComboBox* cboDay = nullptr;
    QLabel* lblTotal = nullptr;
    QTreeView* lstHistory = nullptr;
    QLabel* lblFailures = nullptr;  // why the current alarm's failures failed
    QPushButton* cmdSnapshot = nullptr;
    QPushButton* cmdClip = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Sizes the columns to what they usually hold, and the window to them.
    void fitColumns();
    void fillDays();
    void dayChosen();
    void showCurrent();
    void openCurrent(int role);

    QString historyPath_;
    FileOpener openFile_;
    HistoryModel* model_;
    bool reloadQueued_ = false;
};
