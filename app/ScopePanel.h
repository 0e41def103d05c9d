#pragma once

#include <QWidget>

class PictureBox;
class QFrame;
class QLabel;
class QPushButton;
class SignalLamp;

// The scope panel on the right of the main window: the difference image, the
// detection count, the 24-hour time line and the three alarm lamps.
class ScopePanel : public QWidget {
    Q_OBJECT
public:
    explicit ScopePanel(QWidget* parent);

    // Lights lamp `index` (0 blue, 1 yellow, 2 red) and shows its line; the others go dark.
    void lightLamp(int index);
    // Shows the chart image, the marker's left edge and the time beside "Now :".
    void showTimeLine(const QImage& chart, int markerLeft, const QString& time);

    QPushButton* Command1 = nullptr;
    QPushButton* cmdDisableScope = nullptr;
    QLabel* Label5 = nullptr;
    PictureBox* picScope = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* lblCount = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label7 = nullptr;
    PictureBox* picTimeLine = nullptr;
    QLabel* lblMax = nullptr;
    QLabel* lblMin = nullptr;
    QLabel* lblHours = nullptr;
    QLabel* lblNow = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* lblTime = nullptr;
    QPushButton* Command3 = nullptr;
    SignalLamp* signal[3] = {nullptr, nullptr, nullptr};
    QFrame* line_Signal[3] = {nullptr, nullptr, nullptr};
    QFrame* Frame2 = nullptr;
    QLabel* Label15 = nullptr;

private:
    void buildTimeLineMarks();
};
