#include "detect/AlarmLevel.h"

#include <QCoreApplication>

#include <array>

AlarmLevel classifyAlarm(int32_t count, int16_t alarmCount)
{
    if (count > alarmCount)
        return AlarmLevel::Alarm;
    if (0.9 * alarmCount < count)
        return AlarmLevel::Suspect;
    if (0.8 * alarmCount < count)
        return AlarmLevel::Doubt;
    return AlarmLevel::Calm;
}

QString alarmStatusText(AlarmLevel level)
{
    switch (level) {
    case AlarmLevel::Alarm:
        return QCoreApplication::translate("AlarmLevel", "Houndly: 警報！ 誰かいるワン！!");
    case AlarmLevel::Suspect:
        return QCoreApplication::translate("AlarmLevel", "Houndly: 誰か居るワン？");
    case AlarmLevel::Doubt:
        return QCoreApplication::translate("AlarmLevel", "Houndly: 気のせいワン？");
    case AlarmLevel::Calm:
        break;
    }
    return QCoreApplication::translate("AlarmLevel", "Houndly: 大丈夫ワン！");
}

QString alarmOverStatusText()
{
    return QCoreApplication::translate("AlarmLevel", "Houndly: 警報！ 誰かいたワン！!");
}

QString lastAlarmText(const QDateTime& when)
{
    return QCoreApplication::translate("AlarmLevel", "最終警報: %1").arg(when.toString(QStringLiteral("yyyy/MM/dd hh:mm")));
}

int signalLampIndex(AlarmLevel level)
{
    switch (level) {
    case AlarmLevel::Alarm:
    case AlarmLevel::Suspect:
        return 2;
    case AlarmLevel::Doubt:
        return 1;
    case AlarmLevel::Calm:
        break;
    }
    return 0;
}

SignalLampColours signalLampColours(int lampIndex)
{
    static constexpr std::array<SignalLampColours, 3> lamps = {{
        {qRgb(0, 0, 255), qRgb(0, 0, 192), qRgb(0, 0, 64)},
        {qRgb(255, 255, 0), qRgb(192, 192, 0), qRgb(64, 64, 0)},
        {qRgb(255, 0, 0), qRgb(192, 0, 0), qRgb(64, 0, 0)},
    }};
    return lamps.at(static_cast<size_t>(lampIndex));
}

QRgb timeLineColour(AlarmLevel level)
{
    switch (level) {
    case AlarmLevel::Alarm:
        return qRgb(255, 0, 0);
    case AlarmLevel::Suspect:
        return qRgb(255, 0, 255);
    case AlarmLevel::Doubt:
        return qRgb(255, 255, 0);
    case AlarmLevel::Calm:
        break;
    }
    return qRgb(0, 0, 255);
}
