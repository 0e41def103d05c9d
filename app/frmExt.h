#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class MqttPage;
class QSpinBox;
class WebOptions;

// "拡張設定": the options beyond the classic program (pre-event recording,
// uploads in the background and their encryption, desktop notifications,
// light changes, storage limits, the mask and its editor, alarm commands, the
// language of the windows from the next start; the web view and MQTT on pages
// of their own). Filled from
// Settings each time it is shown; OK stores and saves, Cancel discards.
class frmExt : public QDialog {
    Q_OBJECT
public:
    explicit frmExt(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void bcmdOK_Click();
    // The editor writes the mask and turns it on at its own OK; the box follows.
    void cmdMask_Click();

    QSpinBox* spinPreTime;
    QCheckBox* ckBgUpload;
    QCheckBox* ckLightCut;
    QCheckBox* ckKeepWatch;
    QCheckBox* ckNotify;
    QCheckBox* ckMask;
    QSpinBox* spinKeepMb;
    QSpinBox* spinKeepDays;
    QComboBox* cmboLang;
    QLineEdit* txtOnAlarm;
    QLineEdit* txtOnAlarmOver;
    WebOptions* webOptions;
    MqttPage* mqttPage;
    QComboBox* cmboFtpMode;
};
