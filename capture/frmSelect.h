#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <functional>

// Driver selection: lists the capture drivers by index and connects the chosen one.
class frmSelect : public QDialog {
    Q_OBJECT
public:
    // `resizeCaptureWindow` runs after a driver was connected (the camera window's
    // ResizeCaptureWindow).
    explicit frmSelect(QWidget* parent = nullptr, std::function<void()> resizeCaptureWindow = {});

    QLabel* lblDriver;
    QComboBox* cmboSource;
    QPushButton* cmdSelect;
    QPushButton* cmdCancel;

private:
    void Form_Load();
    void cmdSelect_Click();

    std::function<void()> resizeCaptureWindow_;
};
