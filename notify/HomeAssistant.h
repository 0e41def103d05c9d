#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// Home Assistant's MQTT discovery: retained configs under homeassistant/ that
// make the program one device of four entities, each unavailable while the
// availability topic says "offline": motion (a binary sensor, on during an
// alarm), the latest alarm's snapshot (an image), the watch switch, and the
// latest alarm's count (a sensor whose attributes are the whole alarm).
// Topic and config of each, for the topics under `prefix`; `node` names the
// device (the application folder's name, as identifiers allow it).
QList<std::pair<QString, QByteArray>> homeAssistantConfigs(const QString& prefix, const QString& node);
