#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QSlider;

// "FTPと動画設定": whether and how alarm clips are recorded and uploaded.
// Filled from Settings each time it is shown; OK stores and saves, Cancel discards.
class frmFtp : public QDialog {
    Q_OBJECT
public:
    explicit frmFtp(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void ckanonymous_Click();
    void coupleMainBoxes();
    void bcmdOK_Click();
    void showError(const QString& text);

    QCheckBox* ckMakeAvi;
    QCheckBox* ckFtpExe;
    QLineEdit* txtHost;
    QLineEdit* txtUser;
    QCheckBox* ckanonymous;
    QLineEdit* txtPass;
    QLineEdit* txtHolder;
    QCheckBox* ckFileName;
    QSlider* SliderTime;
    QCheckBox* ckAudio;
};
