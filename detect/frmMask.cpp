#include "detect/frmMask.h"

#include "detect/MaskCanvas.h"
#include "detect/MaskFile.h"
#include "settings/NamedObject.h"
#include "settings/Settings.h"
#include "settings/SettingsSaveReport.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr uint8_t kIgnored = 0;
constexpr uint8_t kHalf = 128;
constexpr uint8_t kCounted = 255;

}  // namespace

frmMask::frmMask(CaptureWindow* camera, QWidget* parent)
    : QDialog(parent), grid_(readMaskFile(maskFilePath()).weights), picMask(named(new MaskCanvas(camera, grid_), "picMask"))
{
    setWindowTitle(tr("検知範囲"));

    // What a press paints: one choice at a time.
    auto* tools = new QButtonGroup(this);
    auto* toolRow = new QHBoxLayout;
    const std::pair<QRadioButton*, uint8_t> toolButtons[] = {
        {named(new QRadioButton(tr("無視する")), "optIgnore"), kIgnored},
        {named(new QRadioButton(tr("検知する")), "optCount"), kCounted},
        {named(new QRadioButton(tr("半分に数える")), "optHalf"), kHalf},
    };
    for (const auto& [button, weight] : toolButtons) {
        tools->addButton(button);
        toolRow->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this, weight](bool on) {
            if (on)
                picMask->setWeight(weight);
        });
    }
    toolButtons[0].first->setChecked(true);

    auto* brushes = new QButtonGroup(this);
    toolRow->addSpacing(16);
    for (const int cells : {1, 3}) {
        QRadioButton* button = cells == 1 ? named(new QRadioButton(tr("1マス")), "optBrush1")
                                          : named(new QRadioButton(tr("3×3マス")), "optBrush3");
        brushes->addButton(button);
        toolRow->addWidget(button);
        button->setChecked(cells == 1);
        connect(button, &QRadioButton::toggled, this, [this, cells](bool on) {
            if (on)
                picMask->setBrush(cells);
        });
    }
    toolRow->addStretch();
    QPushButton* cmdClear = named(new QPushButton(tr("クリア")), "cmdClear");
    QPushButton* cmdInvert = named(new QPushButton(tr("反転")), "cmdInvert");
    toolRow->addWidget(cmdClear);
    toolRow->addWidget(cmdInvert);
    connect(cmdClear, &QPushButton::clicked, this, [this] {
        grid_.clear();
        picMask->update();
    });
    connect(cmdInvert, &QPushButton::clicked, this, [this] {
        grid_.invert();
        picMask->update();
    });

    auto* buttons = new QDialogButtonBox;
    QPushButton* bcmdOK = named(buttons->addButton(tr("OK(&O)"), QDialogButtonBox::AcceptRole), "bcmdOK");
    QPushButton* bcmdCancel = named(buttons->addButton(tr("Cancel(&C)"), QDialogButtonBox::RejectRole), "bcmdCancel");
    bcmdOK->setDefault(true);
    connect(bcmdOK, &QPushButton::clicked, this, &frmMask::bcmdOK_Click);
    connect(bcmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picMask, 1);
    layout->addLayout(toolRow);
    layout->addWidget(new QLabel(tr("マスをクリックかドラッグで塗ります。色の付いたところは検知しません。")));
    layout->addWidget(buttons);
}

void frmMask::bcmdOK_Click()
{
    const QString path = maskFilePath();
    if (!writeMaskFile(path, grid_.picture())) {
        // The painting stays, so nothing is lost: the user can free room and try again.
        QMessageBox box(QMessageBox::Warning, windowTitle(),
                        tr("検知範囲を保存できません: %1").arg(QDir::toNativeSeparators(path)), QMessageBox::Ok, this);
        box.exec();
        return;
    }
    Settings.EXT.MASK = true;
    sSaveSettingsReported();
    accept();
}
