#pragma once

// The window and the parts of it that the window tests reach.
#include "app/frmSw_Mail.h"
#include "app/CommandPanel.h"
#include "app/ScopePanel.h"
#include "app/SignalLamp.h"
#include "app/frm_Camera.h"
#include "capture/CaptureWindow.h"
#include "settings/Settings.h"
#include "tests/support/TempAppFolder.h"
#include "watch/Watcher.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// A QApplication for the whole test program (offscreen).
void ensureApplication();

// Runs `check` inside the next modal dialog, then closes that dialog; `seen` tells it happened.
void whileModal(const std::function<void(QWidget*)>& check, bool* seen);

// Every text a label shows on screen, with the time it was first painted
// (ms since the epoch), including texts replaced before the event loop runs.
class PaintedTexts : public QObject {
public:
    explicit PaintedTexts(QLabel* label);
    // -1 when the text was never painted.
    qint64 timeOf(const QString& text) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* label_;
    QList<std::pair<QString, qint64>> painted_;
};

struct ShownMessage {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// A main window on the demo camera, in a fresh application folder, with the
// demo scene's time in the test's hand and message boxes recorded, not shown.
class MainWindowFixture : public ::testing::Test {
protected:
    // Scene times of the demo camera: the intruder crosses in the last 3 s of every 30 s.
    static constexpr int64_t kCalm = 1000, kIntruder = 28000, kSceneLoop = 30000;

    void SetUp() override;
    void TearDown() override;

    // Starts the window; Ready expected.
    void startWindow();
    // Waits until the demo camera has delivered a frame of scene time `ms`.
    void showScene(int64_t ms);
    // Shows scene time `ms`, then runs one detector tick.
    void tickAt(int64_t ms);
    // A key's value in the settings file as it is on disk.
    QString storedValue(const QString& section, const QString& key) const;

    TempAppFolder home;
    std::atomic<int64_t> sceneMs{1000};
    std::vector<ShownMessage> messages;
    std::unique_ptr<frmSw_Mail> window;
};
