#pragma once

#include <QObject>

#include <chrono>
#include <memory>

class CaptureWindow;
class QTimer;

// Follows the capture window's running recording through the event loop until
// its clip is done, so that nothing waits for it: the abort key (and mouse
// buttons) of the sequence setup end it sooner, one that outruns its length by
// far is ended, one whose camera the window let go ends with it. Tells `ended`
// once, with whether the clip was written.
class SequenceEnd : public QObject {
    Q_OBJECT
public:
    // `length`: how long the recording still has to run.
    SequenceEnd(CaptureWindow& window, std::chrono::milliseconds length, QObject* parent = nullptr);
    ~SequenceEnd() override;

signals:
    void ended(bool written);

private:
    void look();

    CaptureWindow& window_;
    QTimer* poll_;
    std::unique_ptr<QObject> abortKeys_;  // an application-wide filter while the recording runs
    std::chrono::steady_clock::time_point deadline_;
};
