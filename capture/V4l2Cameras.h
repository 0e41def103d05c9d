#pragma once

#include "capture/DriverRegistry.h"
#include "capture/V4l2Node.h"

#include <functional>
#include <memory>

using V4l2NodeFactory = std::function<std::unique_ptr<V4l2Node>(const QString& path)>;

// The video* nodes of `deviceFolder`, in device order (video2 before video10).
QStringList videoNodePaths(const QString& deviceFolder = QStringLiteral("/dev"));

// One driver per video capture node among `paths`, named by its card name;
// nodes that are not capture devices (metadata, output) are left out.
std::vector<DriverEntry> v4l2Cameras(const QStringList& paths, const V4l2NodeFactory& makeNode);

// The real node for a device path.
std::unique_ptr<V4l2Node> makeV4l2DeviceNode(const QString& path);
