#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QPushButton;
class QToolButton;

// Chooses the alarm sound among the files of the media folder, with a button
// to try it. OK stores SOUND and SoundPath in Settings and saves the file; the
// caller refreshes the status bar from Settings afterwards.
class frmSound : public QDialog {
    Q_OBJECT

public:
    explicit frmSound(QWidget* parent = nullptr);

protected:
    // The list is rebuilt from the folder every time the dialog opens.
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void cmdTest_Click();
    void bcmdOK_Click();

    QComboBox* cmbSound;
    QToolButton* cmdTest;
    QPushButton* bcmdOK;
    QPushButton* bcmdCancel;
    // The sound last started by the test button; kept while the dialog is closed.
    QString testPath;
};
