#pragma once

#include "detect/MaskGrid.h"

#include <QDialog>

class CaptureWindow;
class MaskCanvas;

// "検知範囲": the mask painted on a grid over the live picture, starting from
// mask.pgm as it is. OK writes mask.pgm and turns the mask on; Cancel changes
// nothing. Opened while watching is suspended.
class frmMask : public QDialog {
    Q_OBJECT
public:
    explicit frmMask(CaptureWindow* camera, QWidget* parent = nullptr);

private:
    void bcmdOK_Click();

    MaskGrid grid_;
    MaskCanvas* picMask;
};
