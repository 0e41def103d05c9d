#include "notify/HomeAssistant.h"

#include "app/Version.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QList<std::pair<QString, QByteArray>> homeAssistantConfigs(const QString& prefix, const QString& node)
{
    const QString id = QStringLiteral("houndly_") + node;
    const QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{id}},
        {QStringLiteral("name"), QStringLiteral("Houndly ") + node},
        {QStringLiteral("manufacturer"), QStringLiteral("Houndly")},
        {QStringLiteral("model"), QStringLiteral("Houndly")},
        {QStringLiteral("sw_version"),
         QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision)},
    };
    const QString state = prefix + QStringLiteral("/state");
    const QString alarm = prefix + QStringLiteral("/alarm");
    const struct {
        const char* component;
        const char* object;
        const char* name;
        QJsonObject fields;
    } entities[] = {
        {"binary_sensor", "motion", "Motion",
         {{QStringLiteral("device_class"), QStringLiteral("motion")},
          {QStringLiteral("state_topic"), state},
          {QStringLiteral("value_template"), QStringLiteral("{{ 'ON' if value == 'alarm' else 'OFF' }}")}}},
        {"image", "snapshot", "Snapshot",
         {{QStringLiteral("image_topic"), prefix + QStringLiteral("/snapshot")},
          {QStringLiteral("content_type"), QStringLiteral("image/jpeg")}}},
        {"switch", "watch", "Watching",
         {{QStringLiteral("command_topic"), prefix + QStringLiteral("/set/watch")},
          {QStringLiteral("state_topic"), state},
          {QStringLiteral("value_template"), QStringLiteral("{{ 'OFF' if value == 'stopped' else 'ON' }}")},
          {QStringLiteral("payload_on"), QStringLiteral("ON")},
          {QStringLiteral("payload_off"), QStringLiteral("OFF")},
          {QStringLiteral("icon"), QStringLiteral("mdi:dog-side")}}},
        {"sensor", "count", "Alarm count",
         {{QStringLiteral("state_topic"), alarm},
          {QStringLiteral("value_template"), QStringLiteral("{{ value_json.count }}")},
          {QStringLiteral("json_attributes_topic"), alarm},
          {QStringLiteral("icon"), QStringLiteral("mdi:counter")}}},
    };
    QList<std::pair<QString, QByteArray>> configs;
    for (const auto& entity : entities) {
        QJsonObject config = entity.fields;
        config.insert(QStringLiteral("name"), QLatin1String(entity.name));
        config.insert(QStringLiteral("unique_id"), id + u'_' + QLatin1String(entity.object));
        config.insert(QStringLiteral("availability_topic"), prefix + QStringLiteral("/availability"));
        config.insert(QStringLiteral("device"), device);
        configs.append({QStringLiteral("homeassistant/%1/%2/%3/config")
                            .arg(QLatin1String(entity.component), id, QLatin1String(entity.object)),
                        QJsonDocument(config).toJson(QJsonDocument::Compact)});
    }
    return configs;
}
