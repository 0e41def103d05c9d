#include "capture/DriverRegistry.h"

#include "capture/DemoDriver.h"
#include "capture/NetworkCameraDriver.h"
#include "capture/NetworkUrl.h"
#include "capture/V4l2Cameras.h"
#include "capture/V4l2Driver.h"
#include "capture/VideoFileDriver.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <mutex>

#include <sys/stat.h>

namespace {

std::mutex registryMutex;
QString preferredSource;
DriverEnumerator cameraEnumerator;

bool isDeviceNode(const QString& path)
{
    struct stat status {};
    return ::stat(path.toLocal8Bit().constData(), &status) == 0 && S_ISCHR(status.st_mode);
}

// The V4L2 cameras, leaving out the node already put first on the command line.
std::vector<DriverEntry> installedCameras(const QString& preferred)
{
    QStringList paths = videoNodePaths();
    const QString preferredNode = QFileInfo(preferred).canonicalFilePath();
    paths.removeIf([&](const QString& path) { return !preferredNode.isEmpty() && QFileInfo(path).canonicalFilePath() == preferredNode; });
    return v4l2Cameras(paths, makeV4l2DeviceNode);
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
        return {DemoDriver::driverName(), [] { return std::make_unique<DemoDriver>(); }, source};
    if (isNetworkCameraUrl(source))
        return {maskUrlCredentials(source), [source] { return std::make_unique<NetworkCameraDriver>(source); }, source};
    if (isDeviceNode(source)) {
        std::unique_ptr<V4l2Node> node = makeV4l2DeviceNode(source);
        const QString name = V4l2Driver::captureDeviceName(*node);
        return {name.isEmpty() ? source : name,
                [source] { return std::make_unique<V4l2Driver>(makeV4l2DeviceNode(source)); }, source};
    }
    return {QFileInfo(source).fileName(), [source] { return std::make_unique<VideoFileDriver>(source); }, source};
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
    for (DriverEntry& camera : enumerator ? enumerator() : installedCameras(preferred))
        drivers.push_back(std::move(camera));
    if (drivers.size() > kMaxDrivers)
        drivers.resize(kMaxDrivers);
    return drivers;
}

QString noDriverFoundText()
{
    return QCoreApplication::translate("DriverRegistry", "ドライバーが見つかりません。");
}
