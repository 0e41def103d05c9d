#pragma once

#include <QComboBox>
#include <QDialog>

class CaptureWindow;

// The frame sizes the connected device offers; OK switches to the chosen one.
class VideoFormatDialog : public QDialog {
    Q_OBJECT
public:
    explicit VideoFormatDialog(CaptureWindow& window, QWidget* parent = nullptr);

    QComboBox* cmboSize;

private:
    void apply();

    CaptureWindow& window_;
};
