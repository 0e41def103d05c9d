#include "capture/frmSelect.h"

#include "capture/CaptureWindow.h"

#include <QGridLayout>

frmSelect::frmSelect(QWidget* parent, std::function<void()> resizeCaptureWindow)
    : QDialog(parent),
      lblDriver(new QLabel(QStringLiteral("ﾄﾞﾗｲﾊﾞｰ一覧"), this)),
      cmboSource(new QComboBox(this)),
      cmdSelect(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      resizeCaptureWindow_(std::move(resizeCaptureWindow))
{
    setWindowTitle(QStringLiteral("ﾄﾞﾗｲﾊﾞｰ選択"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(lblDriver, 0, 0, 1, 2);
    layout->addWidget(cmboSource, 1, 0, 1, 2);
    layout->addWidget(cmdSelect, 2, 0);
    layout->addWidget(cmdCancel, 2, 1);
    cmdSelect->setDefault(true);
    connect(cmdSelect, &QPushButton::clicked, this, &frmSelect::cmdSelect_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load();
}

void frmSelect::Form_Load()
{
    QString name;
    QString version;
    for (int index = 0; capGetDriverDescriptionA(index, name, version); ++index)
        cmboSource->addItem(name.trimmed());
    CAPDRIVERCAPS caps;
    if (capDriverGetCaps(hCapWnd, &caps, sizeof caps))
        cmboSource->setCurrentIndex(static_cast<int>(caps.wDeviceIndex));
    else
        cmboSource->setCurrentIndex(-1);
}

void frmSelect::cmdSelect_Click()
{
    const int index = cmboSource->currentIndex();
    if (index >= 0 && capDriverConnect(hCapWnd, index)) {
        CAPDRIVERCAPS caps;
        capDriverGetCaps(hCapWnd, &caps, sizeof caps);
        if (resizeCaptureWindow_)
            resizeCaptureWindow_();
    }
    accept();
}
