#include "capture/FfmpegLog.h"

#include "capture/NetworkUrl.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QString>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::minutes kRepeatAfter{1};
// Beyond this many different messages within a minute the rest are dropped:
// a stream of ever-changing messages must not flood the log either.
constexpr size_t kRemembered = 256;

std::mutex logMutex;
std::unordered_map<std::string, Clock::time_point> lastWritten;
Clock::time_point (*logClock)() = &Clock::now;

void writeAtMostOncePerMinute(const std::string& message)
{
    std::lock_guard lock(logMutex);
    const Clock::time_point now = logClock();
    const auto found = lastWritten.find(message);
    if (found != lastWritten.end() && now - found->second < kRepeatAfter)
        return;
    if (found == lastWritten.end() && lastWritten.size() >= kRemembered) {
        std::erase_if(lastWritten, [now](const auto& entry) { return now - entry.second >= kRepeatAfter; });
        if (lastWritten.size() >= kRemembered)
            return;
    }
    lastWritten[message] = now;
    std::fprintf(stderr, "houndly: %s\n", message.c_str());
}

void logFfmpegMessage(void* object, int level, const char* format, va_list arguments)
{
    if (level > AV_LOG_WARNING)
        return;
    char text[1024];
    int printPrefix = 0;  // the "[name @ address]" prefix differs for every context: named below instead
    av_log_format_line2(object, level, format, arguments, text, sizeof text, &printPrefix);
    const QString message = QString::fromUtf8(text).trimmed();
    if (message.isEmpty())
        return;
    const AVClass* owner = object ? *static_cast<AVClass**>(object) : nullptr;
    const QString source = owner && owner->item_name ? QString::fromUtf8(owner->item_name(object)) : QString();
    const QString line = source.isEmpty() ? QStringLiteral("ffmpeg: %1").arg(message)
                                          : QStringLiteral("ffmpeg %1: %2").arg(source, message);
    writeAtMostOncePerMinute(maskUrlCredentials(line).toStdString());
}

}  // namespace

void installFfmpegLog()
{
    static std::once_flag installed;
    std::call_once(installed, [] { av_log_set_callback(logFfmpegMessage); });
}

void setFfmpegLogClock(Clock::time_point (*clock)())
{
    std::lock_guard lock(logMutex);
    logClock = clock;
}
