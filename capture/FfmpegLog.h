#pragma once

// Routes FFmpeg's own messages through the program's log (standard error):
// warnings and errors only, each message at most once a minute, never once per
// frame, and any URL in them without its user name and password. Safe to call
// more than once and from any thread; whoever opens FFmpeg calls it first.
void installFfmpegLog();
