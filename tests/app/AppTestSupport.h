#pragma once

#include "app/frmSw_Mail.h"

#include <QMessageBox>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <cstdint>
#include <memory>
#include <vector>

// A QApplication for the whole test program (offscreen).
void ensureApplication();

// Runs `check` inside the next modal dialog, then closes that dialog; `seen` tells it happened.
void whileModal(const std::function<void(QWidget*)>& check, bool* seen);

struct ShownMessage {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// A main window on the demo camera, in a fresh application folder, with the
// demo scene's time in the test's hand and message boxes recorded, not shown.
class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the window; Ready expected.
    void startWindow();
    // Lets the demo camera deliver a frame of scene time `ms`, then runs one detector tick.
    void tickAt(int64_t ms);
    // A key's value in the settings file as it is on disk.
    QString storedValue(const QString& section, const QString& key) const;

    QTemporaryDir home;
    std::atomic<int64_t> sceneMs{1000};
    std::vector<ShownMessage> messages;
    std::unique_ptr<frmSw_Mail> window;
};
