#include "mail/frmMail.h"

#include "mail/MailContentControls.h"
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

#include <optional>

namespace {

const QChar kTab = QLatin1Char('\t');

QLineEdit* makeBox(QWidget* owner, const char* name, bool secret = false)
{
    auto* box = new QLineEdit(owner);
    box->setObjectName(QString::fromLatin1(name));
    if (secret) {
        box->setEchoMode(QLineEdit::Password);
        box->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // '*'
    }
    return box;
}

QLabel* makeLabel(QWidget* owner, const QString& caption, const QString& tip = {})
{
    auto* label = new QLabel(caption, owner);
    label->setToolTip(tip);
    return label;
}

// A part missing from the stored text leaves its box empty, never with what
// was typed before a Cancel.
void fillServer(const QString& stored, QLineEdit* server, QLineEdit* port)
{
    const QStringList parts = stored.split(kTab);
    server->setText(parts[0]);
    port->setText(parts.value(1));
}

bool isBlank(const QLineEdit* box)
{
    return box->text().trimmed().isEmpty();
}

}  // namespace

frmMail::frmMail(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("ﾒｰﾙｱｶｳﾝﾄ設定"));
    auto* layout = new QGridLayout(this);

    txtMail = makeBox(this, "txtMail");
    layout->addWidget(makeLabel(this, tr("送信元ﾒｰﾙｱﾄﾞﾚｽ"), tr("返信用ﾒｰﾙｱﾄﾞﾚｽ")), 0, 0);
    layout->addWidget(txtMail, 0, 1, 1, 3);

    auto* servers = new QGroupBox(tr("ｻｰﾊﾞｰ情報"), this);
    auto* serverLayout = new QGridLayout(servers);
    txtSmtp = makeBox(servers, "txtSmtp");
    txtSmtpPort = makeBox(servers, "txtSmtpPort");
    serverLayout->addWidget(makeLabel(servers, tr("送信ﾒｰﾙ (SMTP)")), 0, 0);
    serverLayout->addWidget(txtSmtp, 0, 1);
    serverLayout->addWidget(makeLabel(servers, tr("ﾎﾟｰﾄ")), 0, 2);
    serverLayout->addWidget(txtSmtpPort, 0, 3);
    serverLayout->addWidget(makeLabel(servers, tr("初期ﾎﾟｰﾄ: 25")), 0, 4);
    layout->addWidget(servers, 1, 0, 1, 4);

    chkAttestation = new QCheckBox(tr("認証"), this);
    chkAttestation->setObjectName(QStringLiteral("chkAttestation"));
    layout->addWidget(chkAttestation, 2, 0);
    auto* methods = new QButtonGroup(this);
    const char* const methodCaptions[] = {QT_TR_NOOP("POP befor SMTP"), QT_TR_NOOP("SMTP-AUTH")};
    for (int i = 0; i < 2; ++i) {
        optAt[i] = new QRadioButton(tr(methodCaptions[i]), this);
        optAt[i]->setObjectName(QStringLiteral("optAt%1").arg(i));
        methods->addButton(optAt[i], i);
        layout->addWidget(optAt[i], 3 + i, 0);
    }

    auto* pop = new QGroupBox(tr("受信ﾒｰﾙ ｻｰﾊﾞｰ(POP befor SMTPで使用)"), this);
    auto* popLayout = new QGridLayout(pop);
    txtPop = makeBox(pop, "txtPop");
    txtPopPort = makeBox(pop, "txtPopPort");
    txtUser = makeBox(pop, "txtUser");
    txtPass = makeBox(pop, "txtPass", true);
    popLayout->addWidget(makeLabel(pop, tr("受信ﾒｰﾙ (POP)")), 0, 0);
    popLayout->addWidget(txtPop, 0, 1);
    popLayout->addWidget(makeLabel(pop, tr("ﾎﾟｰﾄ")), 0, 2);
    popLayout->addWidget(txtPopPort, 0, 3);
    popLayout->addWidget(makeLabel(pop, tr("初期ﾎﾟｰﾄ: 110")), 0, 4);
    popLayout->addWidget(makeLabel(pop, tr("ｱｶｳﾝﾄ"), tr("POPのｱｶｳﾝﾄ")), 1, 0);
    popLayout->addWidget(txtUser, 1, 1);
    popLayout->addWidget(makeLabel(pop, tr("ﾊﾟｽﾜｰﾄﾞ"), tr("POPのﾊﾟｽﾜｰﾄﾞ")), 2, 0);
    popLayout->addWidget(txtPass, 2, 1);
    layout->addWidget(pop, 3, 1, 1, 3);

    auto* smtpAuth = new QGroupBox(QStringLiteral("SMTP-AUTH"), this);
    auto* smtpAuthLayout = new QGridLayout(smtpAuth);
    chkAtCram = new QCheckBox(QStringLiteral("CRAM-MD5"), smtpAuth);
    chkAtCram->setObjectName(QStringLiteral("chkAtCram"));
    txtSmtpUser = makeBox(smtpAuth, "txtSmtpUser");
    txtSmtpPass = makeBox(smtpAuth, "txtSmtpPass", true);
    smtpAuthLayout->addWidget(chkAtCram, 0, 1);
    smtpAuthLayout->addWidget(makeLabel(smtpAuth, tr("ｱｶｳﾝﾄ"), tr("SMTPのｱｶｳﾝﾄ")), 1, 0);
    smtpAuthLayout->addWidget(txtSmtpUser, 1, 1);
    smtpAuthLayout->addWidget(makeLabel(smtpAuth, tr("ﾊﾟｽﾜｰﾄﾞ"), tr("SMTPのﾊﾟｽﾜｰﾄﾞ")), 2, 0);
    smtpAuthLayout->addWidget(txtSmtpPass, 2, 1);
    layout->addWidget(smtpAuth, 4, 1, 1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    bcmdOK = addNamedButton(this, buttons, tr("OK(&O)"), "bcmdOK");
    bcmdOK->setDefault(true);
    bcmdCancel = addNamedButton(this, buttons, tr("Cancel(&C)"), "bcmdCancel");
    layout->addLayout(buttons, 5, 0, 1, 4);

    connect(chkAttestation, &QCheckBox::clicked, this, [this] { chkAttestation_Click(); });
    connect(methods, &QButtonGroup::idClicked, this, [this](int index) { optAt_Click(index); });
    connect(bcmdOK, &QPushButton::clicked, this, [this] { bcmdOK_Click(); });
    connect(bcmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmMail::showEvent(QShowEvent* event)
{
    // The dialog lives for the whole run: every showing starts from Settings.
    Form_Load();
    QDialog::showEvent(event);
}

void frmMail::Form_Load()
{
    const auto& account = Settings.MAIL;
    txtMail->setText(account.MAIL);
    fillServer(account.POP, txtPop, txtPopPort);
    fillServer(account.SMTP, txtSmtp, txtSmtpPort);
    txtUser->setText(account.USER);
    txtPass->setText(account.PASS);

    const bool attestation = settingNumber(account.ATT) == 1;
    chkAttestation->setChecked(attestation);
    chkAttestation_Click();
    // Without a stored method SMTP-AUTH is chosen, so that OK always stores one.
    const bool popBeforeSmtp = settingNumber(account.OPTATT) == 0;
    optAt[popBeforeSmtp ? 0 : 1]->setChecked(true);
    if (attestation)
        applyMethodLayout(popBeforeSmtp);

    chkAtCram->setChecked(settingNumber(account.AtCRAM).value_or(0) != 0);
    txtSmtpUser->setText(account.SMTPUSER);
    txtSmtpPass->setText(account.SMTPPASS);
}

void frmMail::chkAttestation_Click()
{
    const bool on = chkAttestation->isChecked();
    for (QRadioButton* option : optAt)
        option->setEnabled(on);
    if (!on) {
        for (QWidget* control : std::initializer_list<QWidget*>{chkAtCram, txtSmtpUser, txtSmtpPass, txtPop,
                                                                 txtPopPort, txtUser, txtPass})
            control->setEnabled(false);
        return;
    }
    if (optAt[0]->isChecked() || optAt[1]->isChecked()) {
        applyMethodLayout(optAt[0]->isChecked());
        return;
    }
    chkAtCram->setEnabled(true);
}

void frmMail::optAt_Click(int index)
{
    applyMethodLayout(index == 0);
}

void frmMail::applyMethodLayout(bool popBeforeSmtp)
{
    chkAtCram->setEnabled(!popBeforeSmtp);
    txtSmtpUser->setEnabled(!popBeforeSmtp);
    txtSmtpPass->setEnabled(!popBeforeSmtp);
    for (QLineEdit* box : {txtPop, txtPopPort, txtUser, txtPass})
        box->setEnabled(popBeforeSmtp);
}

bool frmMail::refuse(QLineEdit* box, const QString& text)
{
    showMailMessage(this, QMessageBox::Critical, windowTitle(), text);
    box->setFocus();
    return false;
}

bool frmMail::CheckInput()
{
    // A line break would end a mail header or a server command early.
    for (QLineEdit* box : {txtMail, txtSmtp, txtSmtpPort, txtPop, txtPopPort, txtUser, txtPass, txtSmtpUser,
                           txtSmtpPass})
        if (hasControlCharacters(box->text()))
            return refuse(box, tr("改行やﾀﾌﾞは入力できません。"));

    if (isBlank(txtMail))
        return refuse(txtMail, tr("ﾒｰﾙｱﾄﾞﾚｽを入力して下さい。"));
    if (isBlank(txtSmtp))
        return refuse(txtSmtp, tr("SMTPｻｰﾊﾞｰ名を入力して下さい。"));
    if (isBlank(txtSmtpPort))
        txtSmtpPort->setText(QStringLiteral("25"));
    if (!chkAttestation->isChecked())
        return true;
    if (optAt[0]->isChecked()) {
        if (isBlank(txtPop))
            return refuse(txtPop, tr("POPｻｰﾊﾞｰ名を入力して下さい。"));
        if (isBlank(txtPopPort))
            txtPopPort->setText(QStringLiteral("110"));
        if (isBlank(txtUser))
            return refuse(txtUser, tr("ﾕｰｻﾞｰ名を入力して下さい。"));
        if (isBlank(txtPass))
            return refuse(txtPass, tr("ﾊﾟｽﾜｰﾄﾞを入力して下さい。"));
        return true;
    }
    if (isBlank(txtSmtpUser))
        return refuse(txtSmtpUser, tr("ﾕｰｻﾞｰ名を入力して下さい。"));
    if (isBlank(txtSmtpPass))
        return refuse(txtSmtpPass, tr("ﾊﾟｽﾜｰﾄﾞを入力して下さい。"));
    return true;
}

void frmMail::bcmdOK_Click()
{
    if (!CheckInput())
        return;
    auto& account = Settings.MAIL;
    account.MAIL = txtMail->text().trimmed();
    account.SMTP = txtSmtp->text().trimmed() + kTab + txtSmtpPort->text().trimmed();
    account.POP = txtPop->text().trimmed() + kTab + txtPopPort->text().trimmed();
    account.USER = txtUser->text().trimmed();
    account.PASS = txtPass->text().trimmed();
    account.ATT = chkAttestation->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (optAt[0]->isChecked())
        account.OPTATT = QStringLiteral("0");
    else if (optAt[1]->isChecked())
        account.OPTATT = QStringLiteral("1");
    account.AtCRAM = chkAtCram->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    account.SMTPUSER = txtSmtpUser->text().trimmed();
    account.SMTPPASS = txtSmtpPass->text().trimmed();
    sSaveSettingsReported();
    accept();
}
