#pragma once

#include "detect/TimeLine.h"

#include <QDateTime>
#include <QString>

#include <vector>

// The time line kept between runs: timeline.json in the application folder,
// {"slots":[{"start":"2024-05-01T12:12:00.000+09:00","bars":[[7,"Suspect"],[81,"Calm"]]}, ...]},
// each bar its top and its level, in the order drawn.
QString timeLinePath();

// Writes the slots of the last 24 hours, replacing the file at once (0600);
// false when it cannot, and the old file stays.
bool saveTimeLine(const TimeLine& timeLine, const QString& path, const QDateTime& now);

// The slots in the file; none when it is missing or damaged. A slot that does
// not make sense (no time, an unknown level) is left out.
std::vector<TimeLineSlot> loadTimeLineSlots(const QString& path);
