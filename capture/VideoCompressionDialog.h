#pragma once

#include <QComboBox>
#include <QDialog>
#include <QSpinBox>

class CaptureWindow;

// The codec and quality of recorded clips; OK stores them in the capture window.
class VideoCompressionDialog : public QDialog {
    Q_OBJECT
public:
    explicit VideoCompressionDialog(CaptureWindow& window, QWidget* parent = nullptr);

    QComboBox* cmboCodec;
    QSpinBox* txtQuality;

private:
    void apply();

    CaptureWindow& window_;
};
