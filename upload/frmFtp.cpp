#include "upload/frmFtp.h"

#include "settings/NamedObject.h"
#include "settings/Settings.h"
#include "settings/SettingsSaveReport.h"
#include "settings/StoredKeys.h"
#include "upload/FtpScriptRunner.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr int kShortTextLimit = 80;
constexpr int kFolderTextLimit = 220;
constexpr KeyRange kClipLength = storedRange("FTP", "TIME");

const QString kTrue = QStringLiteral("True");

QString trueFalse(const QCheckBox* box)
{
    return box->isChecked() ? kTrue : QStringLiteral("False");
}

QLineEdit* textBox(const char* name, int maxLength)
{
    QLineEdit* box = named(new QLineEdit, name);
    box->setMaxLength(maxLength);
    return box;
}

// The slider with its scale labels "5秒" .. "30秒" beneath.
QWidget* timeScale(QSlider* slider)
{
    auto* scale = new QWidget;
    auto* grid = new QGridLayout(scale);
    grid->setContentsMargins(0, 0, 0, 0);
    const int marks = (kClipLength.highest - kClipLength.lowest) / 5 + 1;
    grid->addWidget(slider, 0, 0, 1, marks);
    for (int i = 0; i < marks; ++i) {
        auto* label = new QLabel(QCoreApplication::translate("frmFtp", "%1秒").arg(kClipLength.lowest + 5 * i));
        label->setAlignment(i == 0 ? Qt::AlignLeft : i == marks - 1 ? Qt::AlignRight : Qt::AlignHCenter);
        grid->addWidget(label, 1, i);
    }
    return scale;
}

}  // namespace

frmFtp::frmFtp(QWidget* parent)
    : QDialog(parent),
      ckMakeAvi(named(new QCheckBox(tr("動画保存有効")), "ckMakeAvi")),
      ckFtpExe(named(new QCheckBox(tr("FTP有効")), "ckFtpExe")),
      txtHost(textBox("txtHost", kShortTextLimit)),
      txtUser(textBox("txtUser", kShortTextLimit)),
      ckanonymous(named(new QCheckBox(QStringLiteral("anonymous")), "ckanonymous")),
      txtPass(textBox("txtPass", kShortTextLimit)),
      txtHolder(textBox("txtHolder", kFolderTextLimit)),
      ckFileName(named(new QCheckBox(tr("UPLOADﾌｧｲﾙ名の固定 ( ALERT.AVI )")), "ckFileName")),
      SliderTime(named(new QSlider(Qt::Horizontal), "SliderTime")),
      ckAudio(named(new QCheckBox(tr("音声記録する")), "ckAudio"))
{
    setWindowTitle(tr("FTPと動画設定"));
    txtPass->setEchoMode(QLineEdit::Password);
    txtPass->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // '*', as the mail dialog shows
    SliderTime->setRange(kClipLength.lowest, kClipLength.highest);
    SliderTime->setTickPosition(QSlider::TicksBelow);
    SliderTime->setTickInterval(5);

    auto* userRow = new QHBoxLayout;
    userRow->addWidget(txtUser);
    userRow->addWidget(ckanonymous);
    auto* account = new QFormLayout;
    account->addRow(tr("ﾎｽﾄ名 or ｱﾄﾞﾚｽ"), txtHost);
    account->addRow(tr("ﾕｰｻﾞｰ名"), userRow);
    account->addRow(tr("ﾊﾟｽﾜｰﾄﾞ"), txtPass);
    account->addRow(tr("ﾎｽﾄの保存先ﾌｫﾙﾀﾞ"), txtHolder);
    auto* ftpGroup = new QGroupBox;
    auto* ftpLayout = new QVBoxLayout(ftpGroup);
    ftpLayout->addWidget(ckFtpExe);
    ftpLayout->addLayout(account);
    ftpLayout->addWidget(ckFileName);
    ftpLayout->addWidget(named(new QLabel(tr("固定しない場合は、YYMMDDhhmmss_ALERT.AVIになります。")), "Label5"));

    auto* movieGroup = new QGroupBox;
    auto* movieLayout = new QVBoxLayout(movieGroup);
    movieLayout->addWidget(ckMakeAvi);
    movieLayout->addWidget(new QLabel(tr("録画時間 (秒)")));
    movieLayout->addWidget(timeScale(SliderTime));
    movieLayout->addWidget(ckAudio);

    auto* buttons = new QDialogButtonBox;
    QPushButton* bcmdOK = named(buttons->addButton(tr("OK(&O)"), QDialogButtonBox::AcceptRole), "bcmdOK");
    QPushButton* bcmdCancel = named(buttons->addButton(tr("Cancel(&C)"), QDialogButtonBox::RejectRole), "bcmdCancel");
    bcmdOK->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(movieGroup);
    layout->addWidget(ftpGroup);
    layout->addWidget(buttons);

    connect(ckanonymous, &QCheckBox::clicked, this, &frmFtp::ckanonymous_Click);
    connect(ckFtpExe, &QCheckBox::clicked, this, &frmFtp::coupleMainBoxes);
    connect(ckMakeAvi, &QCheckBox::clicked, this, &frmFtp::coupleMainBoxes);
    connect(bcmdOK, &QPushButton::clicked, this, &frmFtp::bcmdOK_Click);
    connect(bcmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmFtp::showEvent(QShowEvent* event)
{
    Form_Load();
    QDialog::showEvent(event);
}

void frmFtp::Form_Load()
{
    const SettingsRecord::Ftp& ftp = Settings.FTP;
    ckMakeAvi->setChecked(ftp.MOVE == kTrue);
    ckFtpExe->setChecked(ftp.FTP == kTrue);
    txtHost->setText(ftp.HOST.trimmed());
    txtUser->setText(ftp.USER.trimmed());
    txtPass->setText(ftp.PASS.trimmed());
    txtHolder->setText(ftp.HOLDER.trimmed());
    ckFileName->setChecked(ftp.FILENAME == kTrue);
    SliderTime->setValue(std::max<int>(ftp.TIME, kClipLength.lowest));
    ckAudio->setChecked(ftp.AUDIO == kTrue);
    ckanonymous->setChecked(false);
}

void frmFtp::ckanonymous_Click()
{
    txtUser->setText(ckanonymous->isChecked() ? QStringLiteral("anonymous") : QString());
    txtPass->clear();
}

// Uploading needs a clip: FTP on keeps recording on.
void frmFtp::coupleMainBoxes()
{
    if (ckFtpExe->isChecked())
        ckMakeAvi->setChecked(true);
}

void frmFtp::bcmdOK_Click()
{
    if (ckFtpExe->isChecked() && txtHost->text().trimmed().isEmpty()) {
        showError(tr("ﾎｽﾄ名を入力して下さい。"));
        return;
    }
    // A line break would add commands to the upload script.
    for (const QLineEdit* box : {txtHost, txtUser, txtPass, txtHolder}) {
        if (!isSingleLine(box->text())) {
            showError(tr("改行を含む文字は使えません。"));
            return;
        }
    }
    SettingsRecord::Ftp& ftp = Settings.FTP;
    ftp.MOVE = trueFalse(ckMakeAvi);
    ftp.FTP = trueFalse(ckFtpExe);
    ftp.HOST = txtHost->text().trimmed();
    ftp.USER = txtUser->text().trimmed();
    ftp.PASS = txtPass->text().trimmed();
    ftp.HOLDER = txtHolder->text().trimmed();
    ftp.FILENAME = trueFalse(ckFileName);
    ftp.TIME = static_cast<int16_t>(SliderTime->value());
    ftp.AUDIO = trueFalse(ckAudio);
    sSaveSettingsReported();
    accept();
}

void frmFtp::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, windowTitle(), text, QMessageBox::Ok, this);
    box.exec();
}
