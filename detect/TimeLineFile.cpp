#include "detect/TimeLineFile.h"

#include "settings/AppPaths.h"
#include "settings/AtomicFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace {

// 120 slots of at most 86 bars fit well within this; anything larger is not ours.
constexpr qint64 kLargestFile = 4 * 1024 * 1024;

const QString kLevelNames[] = {QStringLiteral("Calm"), QStringLiteral("Doubt"), QStringLiteral("Suspect"),
                               QStringLiteral("Alarm")};

std::optional<AlarmLevel> levelNamed(const QString& name)
{
    for (int level = 0; level < 4; ++level)
        if (kLevelNames[level] == name)
            return AlarmLevel(level);
    return std::nullopt;
}

std::optional<TimeLineSlot> slotFromJson(const QJsonObject& object)
{
    TimeLineSlot slot;
    slot.start = QDateTime::fromString(object[QStringLiteral("start")].toString(), Qt::ISODateWithMs);
    if (!slot.start.isValid())
        return std::nullopt;
    for (const QJsonValue& item : object[QStringLiteral("bars")].toArray()) {
        const QJsonArray bar = item.toArray();
        const std::optional<AlarmLevel> level = levelNamed(bar.at(1).toString());
        const int top = bar.at(0).toInt(-1);
        if (!level || top < TimeLine::kTopY || top > TimeLine::kBaseY)
            return std::nullopt;
        slot.bars.push_back({top, *level});
    }
    return slot;
}

}  // namespace

QString timeLinePath()
{
    return appFilePath(QStringLiteral("timeline.json"));
}

bool saveTimeLine(const TimeLine& timeLine, const QString& path, const QDateTime& now)
{
    QJsonArray kept;
    for (const TimeLineSlot& slot : timeLine.recentSlots(now)) {
        QJsonArray bars;
        for (const TimeLineBar& bar : slot.bars)
            bars.append(QJsonArray{bar.top, kLevelNames[int(bar.level)]});
        const QDateTime start = slot.start.toOffsetFromUtc(slot.start.offsetFromUtc());
        kept.append(QJsonObject{{QStringLiteral("start"), start.toString(Qt::ISODateWithMs)},
                                 {QStringLiteral("bars"), bars}});
    }
    return writeFileAtomically(path, QJsonDocument(QJsonObject{{QStringLiteral("slots"), kept}}).toJson());
}

std::vector<TimeLineSlot> loadTimeLineSlots(const QString& path)
{
    QFile file(path);
    if (file.size() > kLargestFile || !file.open(QIODevice::ReadOnly))
        return {};
    std::vector<TimeLineSlot> kept;
    for (const QJsonValue& item : QJsonDocument::fromJson(file.readAll()).object()[QStringLiteral("slots")].toArray())
        if (std::optional<TimeLineSlot> slot = slotFromJson(item.toObject()))
            kept.push_back(std::move(*slot));
    return kept;
}
