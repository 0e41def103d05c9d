#include "web/WatchBoard.h"

#include "detect/AlarmLevel.h"
#include "history/AlarmRecord.h"

#include <QJsonDocument>
#include <QJsonObject>

QByteArray statusJson(const WatchState& state)
{
    const QJsonObject object{
        {QStringLiteral("watching"), state.watching},
        {QStringLiteral("locked"), state.locked},
        {QStringLiteral("level"), state.level},
        {QStringLiteral("lamp"), signalLampIndex(AlarmLevel(state.level))},
        {QStringLiteral("status"), state.status},
        {QStringLiteral("count"), state.count},
        {QStringLiteral("alarmCount"), state.alarmCount},
        {QStringLiteral("lastAlarm"), state.lastAlarm.isValid() ? QJsonValue(historyTimeText(state.lastAlarm))
                                                                : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("camera"), QJsonObject{{QStringLiteral("name"), state.camera},
                                               {QStringLiteral("lost"), state.cameraLost}}},
        {QStringLiteral("uploadsWaiting"), state.uploadsWaiting},
        {QStringLiteral("uploading"), state.uploading},
        {QStringLiteral("clock"), state.clock},
    };
    QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Compact);
    // The time line is kept as JSON already: it changes once a tick, requests come more often.
    json.chop(1);
    return json + ",\"timeLine\":" + (state.timeLine.isEmpty() ? QByteArray("[]") : state.timeLine) + '}';
}
