#include "capture/VideoFormatDialog.h"

#include "capture/CaptureWindow.h"
#include "capture/DialogButtons.h"

#include <QFormLayout>

VideoFormatDialog::VideoFormatDialog(CaptureWindow& window, QWidget* parent)
    : QDialog(parent), cmboSize(new QComboBox(this)), window_(window)
{
    setWindowTitle(tr("ﾋﾞﾃﾞｵﾌｫｰﾏｯﾄ"));
    auto* layout = new QFormLayout(this);
    layout->addRow(tr("解像度"), cmboSize);
    const QSize current = window.frameSize();
    for (QSize size : window.frameSizes()) {
        cmboSize->addItem(QStringLiteral("%1×%2").arg(size.width()).arg(size.height()), size);
        if (size == current)
            cmboSize->setCurrentIndex(cmboSize->count() - 1);
    }
    layout->addRow(addDialogButtons(this, [this] { apply(); }));
}

void VideoFormatDialog::apply()
{
    if (cmboSize->currentIndex() >= 0)
        window_.setFrameSize(cmboSize->currentData().toSize());
}
