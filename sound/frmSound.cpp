#include "sound/frmSound.h"

#include "settings/AppPaths.h"
#include "settings/CommonHelpers.h"
#include "settings/Settings.h"
#include "settings/SettingsSaveReport.h"
#include "sound/SoundPlayer.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

frmSound::frmSound(QWidget* parent)
    : QDialog(parent),
      cmbSound(new QComboBox(this)),
      cmdTest(new QToolButton(this)),
      bcmdOK(new QPushButton(tr("OK(&O)"), this)),
      bcmdCancel(new QPushButton(tr("Cancel(&C)"), this)) {
    setWindowTitle(tr("ｻｳﾝﾄﾞ設定"));
    cmbSound->setObjectName("cmbSound");
    cmdTest->setObjectName("cmdTest");
    bcmdOK->setObjectName("bcmdOK");
    bcmdCancel->setObjectName("bcmdCancel");

    cmbSound->setMinimumWidth(200);
    cmdTest->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    bcmdOK->setDefault(true);

    auto* choice = new QHBoxLayout;
    choice->addWidget(cmbSound, 1);
    choice->addWidget(cmdTest);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bcmdOK);
    buttons->addWidget(bcmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdTest, &QToolButton::clicked, this, &frmSound::cmdTest_Click);
    connect(bcmdOK, &QPushButton::clicked, this, &frmSound::bcmdOK_Click);
    connect(bcmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmSound::showEvent(QShowEvent* event) {
    Form_Load();
    QDialog::showEvent(event);
}

void frmSound::Form_Load() {
    cmbSound->clear();
    cmbSound->addItem(tr("(無し)"));
    cmbSound->addItems(QDir(soundFolder()).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
    const int stored = Settings.COM.SOUND.isEmpty() ? -1 : cmbSound->findText(Settings.COM.SOUND);
    cmbSound->setCurrentIndex(stored < 0 ? 0 : stored);
}

// A toggle: a press while the trial still plays stops it; otherwise it starts
// the selected sound.
void frmSound::cmdTest_Click() {
    if (!testPath.isEmpty()) {
        const bool hadEnded = GetSoundMode(testPath) == "STOPPED";
        sSoundClose(testPath);
        if (!hadEnded) {
            testPath.clear();
            return;
        }
    }
    testPath = GetShortPath(soundFolder() + cmbSound->currentText());
    sSoundPlay(testPath);
}

void frmSound::bcmdOK_Click() {
    auto& com = Settings.COM;
    if (!com.SoundPath.isEmpty() && GetSoundMode(com.SoundPath) != "STOPPED") {
        sSoundClose(com.SoundPath);
        testPath.clear();
    }
    if (cmbSound->currentIndex() < 1) {
        com.SOUND.clear();
        com.SoundPath.clear();
    } else {
        com.SOUND = cmbSound->currentText();
        com.SoundPath = GetShortPath(soundFolder() + com.SOUND);
    }
    sSaveSettingsReported();
    accept();
}
