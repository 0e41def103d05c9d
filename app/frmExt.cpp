#include "app/frmExt.h"

#include "settings/NamedObject.h"
#include "settings/Settings.h"
#include "settings/SettingsSaveReport.h"
#include "settings/StoredKeys.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

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
      spinPreTime(numberBox("spinPreTime", storedRange("EXT", "PRETIME"), QStringLiteral(" 秒"), QStringLiteral("しない"))),
      ckBgUpload(named(new QCheckBox(QStringLiteral("FTP送信中も監視を続ける")), "ckBgUpload")),
      ckLightCut(named(new QCheckBox(QStringLiteral("画面全体の明るさの変化は警報にしない")), "ckLightCut")),
      spinKeepMb(numberBox("spinKeepMb", storedRange("EXT", "KEEPMB"), QStringLiteral(" MB"), QStringLiteral("無制限"))),
      spinKeepDays(numberBox("spinKeepDays", storedRange("EXT", "KEEPDAYS"), QStringLiteral(" 日"),
                             QStringLiteral("無期限")))
{
    setWindowTitle(QStringLiteral("拡張設定"));

    auto* recording = new QGroupBox(QStringLiteral("警報と動画"));
    auto* recordingLayout = new QFormLayout(recording);
    recordingLayout->addRow(QStringLiteral("警報前の録画"), spinPreTime);
    recordingLayout->addRow(ckBgUpload);
    recordingLayout->addRow(ckLightCut);

    auto* storage = new QGroupBox(QStringLiteral("画像と動画の保存 (img, avi)"));
    auto* storageLayout = new QFormLayout(storage);
    storageLayout->addRow(QStringLiteral("合計の上限"), spinKeepMb);
    storageLayout->addRow(QStringLiteral("保存期間"), spinKeepDays);

    auto* buttons = new QDialogButtonBox;
    QPushButton* bcmdOK = named(buttons->addButton(QStringLiteral("OK(&O)"), QDialogButtonBox::AcceptRole), "bcmdOK");
    QPushButton* bcmdCancel =
        named(buttons->addButton(QStringLiteral("Cancel(&C)"), QDialogButtonBox::RejectRole), "bcmdCancel");
    bcmdOK->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(recording);
    layout->addWidget(storage);
    layout->addWidget(buttons);

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
    spinKeepMb->setValue(ext.KEEPMB);
    spinKeepDays->setValue(ext.KEEPDAYS);
}

void frmExt::bcmdOK_Click()
{
    SettingsRecord::Ext& ext = Settings.EXT;
    ext.PRETIME = static_cast<int16_t>(spinPreTime->value());
    ext.BGUPLOAD = ckBgUpload->isChecked();
    ext.LIGHTCUT = ckLightCut->isChecked();
    ext.KEEPMB = spinKeepMb->value();
    ext.KEEPDAYS = static_cast<int16_t>(spinKeepDays->value());
    sSaveSettingsReported();
    accept();
}
