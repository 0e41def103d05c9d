#pragma once

#include <QLabel>

class QStatusBar;

// Status panel 5: its text after a small warning mark.
class WarningPanel : public QLabel {
    Q_OBJECT
public:
    explicit WarningPanel(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The five panels of the status bar, numbered 1 to 5 from the left.
struct StatusPanels {
    QLabel* panel[5] = {};
};

StatusPanels buildStatusPanels(QStatusBar* statusBar);

// Panel 3: "解像度: 640×480".
QString frameSizeText(int width, int height);
