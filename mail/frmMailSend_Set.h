#pragma once

#include "mail/MailContentControls.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QPushButton;
class QRadioButton;

// "自動ﾒｰﾙ設定": the four destinations A to D that an alarm mails, one on
// show at a time. "更新(&A)" stores and saves the one on show, OK does the
// same and closes, Cancel closes without storing.
class frmMailSend_Set : public QDialog {
    Q_OBJECT
public:
    explicit frmMailSend_Set(QWidget* parent = nullptr);

private:
    void optTRG_Click(int index);
    void bcmdReF_Click();
    void bcmdOK_Click();
    bool storeDestination(bool closing);

    int shown_ = 0;
    std::array<QRadioButton*, 4> optTRG;
    QCheckBox* ckEnabled;
    MailContentControls content;
    QPushButton* bcmdReF;
    QPushButton* bcmdOK;
    QPushButton* bcmdCancel;
};
