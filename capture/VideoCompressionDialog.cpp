#include "capture/VideoCompressionDialog.h"

#include "capture/CaptureWindow.h"
#include "capture/DialogButtons.h"

#include <QFormLayout>

VideoCompressionDialog::VideoCompressionDialog(CaptureWindow& window, QWidget* parent)
    : QDialog(parent), cmboCodec(new QComboBox(this)), txtQuality(new QSpinBox(this)), window_(window)
{
    setWindowTitle(tr("ﾋﾞﾃﾞｵ圧縮"));
    const ClipCompression current = window.compression();
    for (const ClipCodec& codec : availableClipCodecs()) {
        cmboCodec->addItem(codec.title, codec.encoder);
        if (codec.encoder == current.codec)
            cmboCodec->setCurrentIndex(cmboCodec->count() - 1);
    }
    txtQuality->setRange(1, 100);
    txtQuality->setValue(current.quality);
    auto* layout = new QFormLayout(this);
    layout->addRow(tr("圧縮方式"), cmboCodec);
    layout->addRow(tr("品質"), txtQuality);
    layout->addRow(addDialogButtons(this, [this] { apply(); }));
}

void VideoCompressionDialog::apply()
{
    ClipCompression chosen = window_.compression();
    if (cmboCodec->currentIndex() >= 0)
        chosen.codec = cmboCodec->currentData().toString();
    chosen.quality = txtQuality->value();
    window_.setCompression(chosen);
}
