#pragma once

#include "capture/UrlField.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

#include <functional>

// Driver selection: lists the capture drivers by index, then a network camera
// named by its URL, connects the chosen one and stores it as the camera to
// open at the next start.
class frmSelect : public QDialog {
    Q_OBJECT
public:
    // `resizeCaptureWindow` runs after a driver was connected (the camera window's
    // ResizeCaptureWindow).
    explicit frmSelect(QWidget* parent = nullptr, std::function<void()> resizeCaptureWindow = {});

    // The list's last entry: the network camera of txtUrl.
    int networkEntry() const { return networkEntry_; }

    QLabel* lblDriver;
    QComboBox* cmboSource;
    QLabel* lblUrl;
    UrlField* txtUrl;
    QPushButton* cmdSelect;
    QPushButton* cmdCancel;

private:
    void Form_Load();
    void cmdSelect_Click();
    // False, with the reason shown, when the URL is refused or does not answer.
    bool connectNetworkCamera();
    void connected();
    void showError(const QString& text);

    std::function<void()> resizeCaptureWindow_;
    int networkEntry_ = 0;
};
