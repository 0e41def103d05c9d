#include "detect/AlarmLevel.h"

#include <gtest/gtest.h>

namespace {

TEST(AlarmLevel, ClassifiesAgainstAlarmCount)
{
    struct Row {
        int16_t alarmCount;
        int32_t count;
        AlarmLevel level;
    };
    const Row rows[] = {
        {100, 101, AlarmLevel::Alarm},  {100, 100, AlarmLevel::Suspect},
        {100, 91, AlarmLevel::Suspect}, {100, 90, AlarmLevel::Doubt},
        {100, 81, AlarmLevel::Doubt},   {100, 80, AlarmLevel::Calm},
        {100, 0, AlarmLevel::Calm},     {1, 2, AlarmLevel::Alarm},
        {1, 1, AlarmLevel::Suspect},    {1, 0, AlarmLevel::Calm},
        {7, 8, AlarmLevel::Alarm},      {7, 7, AlarmLevel::Suspect},
        {7, 6, AlarmLevel::Doubt},      {7, 5, AlarmLevel::Calm},
        {0, 1, AlarmLevel::Alarm},      {0, 0, AlarmLevel::Calm},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(classifyAlarm(row.count, row.alarmCount), row.level)
            << "count " << row.count << " alarm count " << row.alarmCount;
    }
}

TEST(AlarmLevel, LevelChoosesTextLampAndColour)
{
    struct Row {
        AlarmLevel level;
        const char* text;
        int lamp;
        QRgb bar;
    };
    const Row rows[] = {
        {AlarmLevel::Alarm, "Houndly: 警報！ 誰かいるワン！!", 2, qRgb(255, 0, 0)},
        {AlarmLevel::Suspect, "Houndly: 誰か居るワン？", 2, qRgb(255, 0, 255)},
        {AlarmLevel::Doubt, "Houndly: 気のせいワン？", 1, qRgb(255, 255, 0)},
        {AlarmLevel::Calm, "Houndly: 大丈夫ワン！", 0, qRgb(0, 0, 255)},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(alarmStatusText(row.level), QString::fromUtf8(row.text));
        EXPECT_EQ(signalLampIndex(row.level), row.lamp);
        EXPECT_EQ(timeLineColour(row.level), row.bar);
    }
    EXPECT_EQ(alarmOverStatusText(), QString::fromUtf8("Houndly: 警報！ 誰かいたワン！!"));
}

TEST(AlarmLevel, LastAlarmTextShowsDateAndMinute)
{
    EXPECT_EQ(lastAlarmText(QDateTime(QDate(2006, 7, 5), QTime(14, 3, 59))),
              QString::fromUtf8("最終警報: 2006/07/05 14:03"));
}

}  // namespace
