#pragma once

#include "capture/CaptureDriver.h"

#include <QDialog>

#include <functional>
#include <vector>

class CaptureWindow;

// The device's adjustable controls; OK writes the values that changed.
class VideoSourceDialog : public QDialog {
    Q_OBJECT
public:
    explicit VideoSourceDialog(CaptureWindow& window, QWidget* parent = nullptr);

    // The editor widget of control `id` (a QSpinBox, QCheckBox or QComboBox), or null.
    QWidget* editorFor(uint32_t id) const;

private:
    struct Editor {
        CaptureControl control;
        QWidget* widget;
        std::function<int()> value;
    };
    Editor makeEditor(const CaptureControl& control);
    void apply();

    CaptureWindow& window_;
    std::vector<Editor> editors_;
};
