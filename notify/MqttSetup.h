#pragma once

#include "notify/MqttClient.h"
#include "settings/Settings.h"

#include <QString>

#include <optional>

// The MQTT settings ([EXT] MQTT and the keys after it) made into a connection.
// MQTT names the broker as "host", "host port" or "host:port" ("[::1]:1883"
// for an IPv6 address with a port); the port is 1883, or 8883 with TLS, when
// none is given. MQTTTOPIC is the prefix of every topic, houndly/<name> when
// empty, <name> being the application folder's last component.
struct MqttSetup {
    MqttOptions options;
    QString prefix;  // without a "/" at its end
    QString node;    // <name> as Home Assistant's identifiers allow it
};

// Nothing when MQTT is "" (why stays "") or the settings cannot be used (why says why).
std::optional<MqttSetup> mqttSetupOf(const SettingsRecord::Ext& ext, const QString& appFolder, QString& why);
