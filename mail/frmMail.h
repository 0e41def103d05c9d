#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "ﾒｰﾙｱｶｳﾝﾄ設定": the sender address, the SMTP server and how it admits us
// (none, POP before SMTP, SMTP-AUTH LOGIN or CRAM-MD5). Filled from
// Settings.MAIL each time it is shown; OK stores and saves.
class frmMail : public QDialog {
    Q_OBJECT
public:
    explicit frmMail(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void chkAttestation_Click();
    void optAt_Click(int index);
    void bcmdOK_Click();
    bool CheckInput();
    bool refuse(QLineEdit* box, const QString& text);
    void applyMethodLayout(bool popBeforeSmtp);

    QLineEdit* txtMail;
    QLineEdit* txtSmtp;
    QLineEdit* txtSmtpPort;
    QLineEdit* txtPop;
    QLineEdit* txtPopPort;
    QCheckBox* chkAttestation;
    std::array<QRadioButton*, 2> optAt;
    QCheckBox* chkAtCram;
    QLineEdit* txtUser;
    QLineEdit* txtPass;
    QLineEdit* txtSmtpUser;
    QLineEdit* txtSmtpPass;
    QPushButton* bcmdOK;
    QPushButton* bcmdCancel;
};
