#include "app/frmExt.h"

#include "app/MessageBox.h"
#include "app/MqttPage.h"
#include "app/WebOptions.h"

#include "capture/CaptureWindow.h"
#include "detect/frmMask.h"
#include "settings/NamedObject.h"
#include "settings/Settings.h"
#include "settings/SettingsSaveReport.h"
#include "settings/StoredKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A number box over the values the option keeps, whose 0 reads as the option being off.
QSpinBox* numberBox(const char* name, KeyRange range, const QString& suffix, const QString& zeroText)
{
    QSpinBox* box = named(new QSpinBox, name);
    box->setRange(range.lowest, range.highest);
    box->setSuffix(suffix);
    box->setSpecialValueText(zeroText);
    return box;
}

}  // namespace

frmExt::frmExt(QWidget* parent)
    : QDialog(parent),
      spinPreTime(numberBox("spinPreTime", storedRange("EXT", "PRETIME"), tr(" 秒"), tr("しない"))),
      ckBgUpload(named(new QCheckBox(tr("FTP送信中も監視を続ける")), "ckBgUpload")),
      ckLightCut(named(new QCheckBox(tr("画面全体の明るさの変化は警報にしない")), "ckLightCut")),
      ckKeepWatch(named(new QCheckBox(tr("警報のメール・録画・送信中も監視を続ける")), "ckKeepWatch")),
      ckNotify(named(new QCheckBox(tr("警報をデスクトップに通知する (クリックで警報履歴)")), "ckNotify")),
      ckMask(named(new QCheckBox(tr("検知範囲 (mask.pgm) の中だけを見る")), "ckMask")),
      spinKeepMb(numberBox("spinKeepMb", storedRange("EXT", "KEEPMB"), tr(" MB"), tr("無制限"))),
      spinKeepDays(numberBox("spinKeepDays", storedRange("EXT", "KEEPDAYS"), tr(" 日"), tr("無期限"))),
      cmboLang(named(new QComboBox, "cmboLang")),
      txtOnAlarm(named(new QLineEdit, "txtOnAlarm")),
      txtOnAlarmOver(named(new QLineEdit, "txtOnAlarmOver")),
      webOptions(named(new WebOptions, "webOptions")),
      mqttPage(named(new MqttPage, "mqttPage")),
      cmboFtpMode(named(new QComboBox, "cmboFtpMode"))
{
    setWindowTitle(tr("拡張設定"));

    auto* recording = new QGroupBox(tr("警報と動画"));
    auto* recordingLayout = new QFormLayout(recording);
    recordingLayout->addRow(tr("警報前の録画"), spinPreTime);
    recordingLayout->addRow(ckBgUpload);
    recordingLayout->addRow(ckLightCut);
    cmboFtpMode->addItem(tr("しない (FTP)"), QString());
    cmboFtpMode->addItem(tr("FTPS (TLS)"), QStringLiteral("FTPS"));
    cmboFtpMode->addItem(tr("SFTP (SSH)"), QStringLiteral("SFTP"));
    recordingLayout->addRow(tr("FTP送信の暗号化"), cmboFtpMode);
    recordingLayout->addRow(ckKeepWatch);
    recordingLayout->addRow(ckNotify);

    auto* area = new QGroupBox(tr("検知範囲"));
    auto* areaLayout = new QHBoxLayout(area);
    QPushButton* cmdMask = named(new QPushButton(tr("編集(&M)...")), "cmdMask");
    areaLayout->addWidget(ckMask, 1);
    areaLayout->addWidget(cmdMask);

    auto* storage = new QGroupBox(tr("画像と動画の保存 (img, avi)"));
    auto* storageLayout = new QFormLayout(storage);
    storageLayout->addRow(tr("合計の上限"), spinKeepMb);
    storageLayout->addRow(tr("保存期間"), spinKeepDays);

    // Each language under its own name, so that anyone finds theirs.
    cmboLang->addItem(tr("デスクトップに合わせる"), QString());
    cmboLang->addItem(QStringLiteral("日本語"), QStringLiteral("ja"));
    cmboLang->addItem(QStringLiteral("English"), QStringLiteral("en"));
    auto* language = new QGroupBox(tr("表示言語"));
    auto* languageLayout = new QFormLayout(language);
    languageLayout->addRow(cmboLang);
    languageLayout->addRow(new QLabel(tr("次回の起動から有効になります。")));

    auto* commands = new QGroupBox(tr("警報時に実行するプログラム"));
    auto* commandsLayout = new QFormLayout(commands);
    commandsLayout->addRow(tr("警報の始まり"), txtOnAlarm);
    commandsLayout->addRow(tr("警報の終わり"), txtOnAlarmOver);
    auto* commandsHint = new QLabel(tr("プログラムと引数 (シェルは通しません)。環境変数 HOUNDLY_COUNT, HOUNDLY_ALARM_COUNT, "
                                       "HOUNDLY_TIME, HOUNDLY_SNAPSHOT, HOUNDLY_CLIP で警報を渡します。60 秒で終了させます。"));
    commandsHint->setWordWrap(true);
    commandsLayout->addRow(commandsHint);

    auto* buttons = new QDialogButtonBox;
    QPushButton* bcmdOK = named(buttons->addButton(tr("OK(&O)"), QDialogButtonBox::AcceptRole), "bcmdOK");
    QPushButton* bcmdCancel = named(buttons->addButton(tr("Cancel(&C)"), QDialogButtonBox::RejectRole), "bcmdCancel");
    bcmdOK->setDefault(true);

    auto* watching = new QWidget;
    auto* watchingLayout = new QVBoxLayout(watching);
    watchingLayout->addWidget(recording);
    watchingLayout->addWidget(area);
    watchingLayout->addWidget(storage);
    watchingLayout->addWidget(language);
    watchingLayout->addWidget(commands);

    auto* pages = named(new QTabWidget, "tabPages");
    pages->addTab(watching, tr("監視(&W)"));
    pages->addTab(webOptions, tr("Web表示(&B)"));
    pages->addTab(mqttPage, tr("MQTT(&Q)"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons);

    connect(cmdMask, &QPushButton::clicked, this, &frmExt::cmdMask_Click);
    connect(bcmdOK, &QPushButton::clicked, this, &frmExt::bcmdOK_Click);
    connect(bcmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmExt::showEvent(QShowEvent* event)
{
    Form_Load();
    QDialog::showEvent(event);
}

void frmExt::Form_Load()
{
    const SettingsRecord::Ext& ext = Settings.EXT;
    spinPreTime->setValue(ext.PRETIME);
    ckBgUpload->setChecked(ext.BGUPLOAD);
    ckLightCut->setChecked(ext.LIGHTCUT);
    ckKeepWatch->setChecked(ext.KEEPWATCH);
    ckNotify->setChecked(ext.NOTIFY);
    ckMask->setChecked(ext.MASK);
    spinKeepMb->setValue(ext.KEEPMB);
    spinKeepDays->setValue(ext.KEEPDAYS);
    cmboLang->setCurrentIndex(std::max(0, cmboLang->findData(ext.LANG)));
    txtOnAlarm->setText(ext.ONALARM);
    txtOnAlarmOver->setText(ext.ONALARMOVER);
    webOptions->load(ext);
    mqttPage->load(ext);
    cmboFtpMode->setCurrentIndex(std::max(0, cmboFtpMode->findData(ext.FTPMODE)));
}

void frmExt::bcmdOK_Click()
{
    if (const QString problem = webOptions->problem(); !problem.isEmpty()) {
        showMessageBox(this, QMessageBox::Warning, windowTitle(), problem);
        return;
    }
    SettingsRecord::Ext& ext = Settings.EXT;
    ext.PRETIME = static_cast<int16_t>(spinPreTime->value());
    ext.BGUPLOAD = ckBgUpload->isChecked();
    ext.LIGHTCUT = ckLightCut->isChecked();
    ext.KEEPWATCH = ckKeepWatch->isChecked();
    ext.NOTIFY = ckNotify->isChecked();
    ext.MASK = ckMask->isChecked();
    ext.KEEPMB = spinKeepMb->value();
    ext.KEEPDAYS = static_cast<int16_t>(spinKeepDays->value());
    ext.LANG = cmboLang->currentData().toString();
    ext.ONALARM = txtOnAlarm->text();
    ext.ONALARMOVER = txtOnAlarmOver->text();
    webOptions->store(ext);
    mqttPage->store(ext);
    ext.FTPMODE = cmboFtpMode->currentData().toString();
    sSaveSettingsReported();
    accept();
}

void frmExt::cmdMask_Click()
{
    frmMask editor(hCapWnd, this);
    if (editor.exec() == QDialog::Accepted)
        ckMask->setChecked(true);
}
