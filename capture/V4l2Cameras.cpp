#include "capture/V4l2Cameras.h"

#include "capture/V4l2DeviceNode.h"
#include "capture/V4l2Driver.h"

#include <QDir>

#include <algorithm>

QStringList videoNodePaths(const QString& deviceFolder)
{
    QDir folder(deviceFolder);
    QStringList names = folder.entryList({QStringLiteral("video*")}, QDir::System | QDir::Files | QDir::Readable);
    const auto number = [](const QString& name) {
        bool numeric = false;
        const int value = name.mid(5).toInt(&numeric);
        return numeric ? value : -1;
    };
    names.erase(std::remove_if(names.begin(), names.end(), [&](const QString& name) { return number(name) < 0; }),
                names.end());
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) { return number(a) < number(b); });
    QStringList paths;
    for (const QString& name : names)
        paths << folder.filePath(name);
    return paths;
}

std::vector<DriverEntry> v4l2Cameras(const QStringList& paths, const V4l2NodeFactory& makeNode)
{
    std::vector<DriverEntry> cameras;
    for (const QString& path : paths) {
        std::unique_ptr<V4l2Node> node = makeNode(path);
        const QString name = node ? V4l2Driver::captureDeviceName(*node) : QString();
        if (name.isEmpty())
            continue;
        cameras.push_back({name, [path, makeNode] { return std::make_unique<V4l2Driver>(makeNode(path)); }, path});
    }
    return cameras;
}

std::unique_ptr<V4l2Node> makeV4l2DeviceNode(const QString& path)
{
    return std::make_unique<V4l2DeviceNode>(path);
}
