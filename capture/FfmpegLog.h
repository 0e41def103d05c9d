#pragma once

#include <chrono>

// Routes FFmpeg's own messages through the program's log (standard error):
// warnings and errors only, each message at most once a minute, never once per
// frame, and any URL in them without its user name and password. Safe to call
// more than once and from any thread; whoever opens FFmpeg calls it first.
void installFfmpegLog();
// The clock the once-a-minute rule reads (a test's own instead of the steady clock).
void setFfmpegLogClock(std::chrono::steady_clock::time_point (*clock)());
