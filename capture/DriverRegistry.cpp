#include "capture/DriverRegistry.h"

#include "capture/DemoDriver.h"

#include <QFileInfo>

#include <mutex>

namespace {

std::mutex registryMutex;
QString preferredSource;
DriverEnumerator cameraEnumerator;

std::vector<DriverEntry> installedCameras()
{
    return {};
}

}  // namespace

void setPreferredCamera(const QString& source)
{
    std::lock_guard lock(registryMutex);
    preferredSource = source;
}

QString preferredCamera()
{
    std::lock_guard lock(registryMutex);
    return preferredSource;
}

void setDriverEnumerator(DriverEnumerator enumerator)
{
    std::lock_guard lock(registryMutex);
    cameraEnumerator = std::move(enumerator);
}

DriverEntry driverEntryForSource(const QString& source)
{
    if (source == DemoDriver::driverName())
        return {DemoDriver::driverName(), [] { return std::make_unique<DemoDriver>(); }};
    return {QFileInfo(source).fileName(), [] { return std::unique_ptr<CaptureDriver>(); }};
}

std::vector<DriverEntry> captureDrivers()
{
    QString preferred;
    DriverEnumerator enumerator;
    {
        std::lock_guard lock(registryMutex);
        preferred = preferredSource;
        enumerator = cameraEnumerator;
    }
    std::vector<DriverEntry> drivers;
    if (!preferred.isEmpty())
        drivers.push_back(driverEntryForSource(preferred));
    for (DriverEntry& camera : enumerator ? enumerator() : installedCameras())
        drivers.push_back(std::move(camera));
    if (drivers.size() > kMaxDrivers)
        drivers.resize(kMaxDrivers);
    return drivers;
}
