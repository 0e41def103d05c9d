#include "mail/frmMailSend_Set.h"

#include "mail/MailFields.h"
#include "mail/MailMessageBox.h"
#include "settings/Settings.h"
#include "settings/SettingsSaveReport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextEdit>

frmMailSend_Set::frmMailSend_Set(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("自動ﾒｰﾙ設定"));
    auto* layout = new QGridLayout(this);

    auto* choice = new QGroupBox(tr("宛先選択"), this);
    auto* choiceLayout = new QHBoxLayout(choice);
    auto* destinations = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        optTRG[i] = new QRadioButton(tr("自動送信%1").arg(QChar(u'A' + i)), choice);
        optTRG[i]->setObjectName(QStringLiteral("optTRG%1").arg(i));
        destinations->addButton(optTRG[i], i);
        choiceLayout->addWidget(optTRG[i]);
    }
    layout->addWidget(choice, 0, 0, 1, 3);

    ckEnabled = new QCheckBox(tr("有効"), this);
    ckEnabled->setObjectName(QStringLiteral("ckEnabled"));
    layout->addWidget(ckEnabled, 1, 1);
    content = MailContentControls::create(this, layout, 2);

    auto* note = new QLabel(tr("必ず、ﾒｰﾙｱｶｳﾝﾄ設定をして下さい。"), this);
    note->setStyleSheet(QStringLiteral("color: red"));
    layout->addWidget(note, layout->rowCount(), 0, 1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    bcmdReF = addNamedButton(this, buttons, tr("更新(&A)"), "bcmdReF");
    bcmdOK = addNamedButton(this, buttons, tr("OK(&O)"), "bcmdOK");
    bcmdCancel = addNamedButton(this, buttons, tr("Cancel(&C)"), "bcmdCancel");
    layout->addLayout(buttons, layout->rowCount(), 0, 1, 3);

    connect(destinations, &QButtonGroup::idClicked, this, [this](int index) { optTRG_Click(index); });
    connect(bcmdReF, &QPushButton::clicked, this, [this] { bcmdReF_Click(); });
    connect(bcmdOK, &QPushButton::clicked, this, [this] { bcmdOK_Click(); });
    connect(bcmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    optTRG[0]->setChecked(true);
    optTRG_Click(0);
}

void frmMailSend_Set::optTRG_Click(int index)
{
    shown_ = index;
    const MailTrigger& trigger = Settings.TRG[static_cast<size_t>(index)];
    ckEnabled->setChecked(trigger.ENABLED == QStringLiteral("True"));
    content.txtMail->setText(trigger.MAILTO);
    content.txtSubject->setText(trigger.SUBJECT);
    content.txtBody->setPlainText(trigger.BODY);
    content.chkGrp->setChecked(trigger.GRP == 1);
    content.chooseSize(trigger.MINSIZE);
    content.SliderArc->setValue(trigger.ARC);  // the slider holds it within 1..100
}

bool frmMailSend_Set::storeDestination(bool closing)
{
    const QString recipient = content.txtMail->text().trimmed();
    if (ckEnabled->isChecked() && recipient.isEmpty()) {
        showMailMessage(this, QMessageBox::Critical, windowTitle(), tr("宛先を入力して下さい。"));
        return false;
    }
    if (hasControlCharacters(content.txtMail->text()) || hasControlCharacters(content.txtSubject->text())) {
        showMailMessage(this, QMessageBox::Critical, windowTitle(), lineBreakMessage());
        return false;
    }
    MailTrigger& trigger = Settings.TRG[static_cast<size_t>(shown_)];
    trigger.ENABLED = ckEnabled->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
    trigger.MAILTO = recipient;
    trigger.SUBJECT = content.txtSubject->text().trimmed();
    trigger.BODY = trimSpaces(content.txtBody->toPlainText());
    trigger.GRP = content.chkGrp->isChecked() ? 1 : 0;
    trigger.MINSIZE = static_cast<int16_t>(content.chosenSize());
    trigger.ARC = static_cast<int16_t>(content.SliderArc->value());
    if (closing)
        trigger.FILES.clear();
    sSaveSettingsReported();
    return true;
}

void frmMailSend_Set::bcmdReF_Click()
{
    storeDestination(false);
}

void frmMailSend_Set::bcmdOK_Click()
{
    if (storeDestination(true))
        accept();
}
