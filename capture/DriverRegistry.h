#pragma once

#include "capture/CaptureDriver.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

// The list of capture drivers, by index 0..kMaxDrivers-1.
constexpr int kMaxDrivers = 10;

struct DriverEntry {
    QString name;
    std::function<std::unique_ptr<CaptureDriver>()> create;
    // The source as --camera and the stored CAMERA name it ("" = not nameable).
    QString source{};
};

using DriverEnumerator = std::function<std::vector<DriverEntry>()>;

// Puts a source at index 0: "demo", a video file, a V4L2 device node or a
// network camera's URL ("" = none).
void setPreferredCamera(const QString& source);
QString preferredCamera();

// Replaces how the installed cameras are listed (the V4L2 devices by default);
// an empty enumerator restores the default.
void setDriverEnumerator(DriverEnumerator enumerator);

// The preferred source, then the installed cameras, at most kMaxDrivers.
std::vector<DriverEntry> captureDrivers();

// The start-up's message when no driver connects: "ドライバーが見つかりません。".
QString noDriverFoundText();

// The driver entry for one source named as on the command line.
DriverEntry driverEntryForSource(const QString& source);
