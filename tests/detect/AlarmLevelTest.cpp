#include "detect/AlarmLevel.h"

#include <gtest/gtest.h>

namespace {

TEST(AlarmLevel, ClassifiesAgainstAlarmCount)
{
    using enum AlarmLevel;
    const struct {
        int16_t alarmCount;
        int32_t count;
        AlarmLevel level;
    } rows[] = {
        {100, 101, Alarm}, {100, 100, Suspect}, {100, 91, Suspect}, {100, 90, Doubt}, {100, 81, Doubt},
        {100, 80, Calm},   {7, 8, Alarm},       {7, 7, Suspect},    {7, 6, Doubt},    {7, 5, Calm},
        {1, 1, Suspect},   {1, 0, Calm},        {0, 1, Alarm},      {0, 0, Calm},
    };
    for (const auto& row : rows)
        EXPECT_EQ(classifyAlarm(row.count, row.alarmCount), row.level) << row.count << " of " << row.alarmCount;
}

}  // namespace
