#pragma once

#include "watch/WatchEvents.h"

#include <QString>

#include <cstdio>

// One event as the log prints it, without its time. Events name cameras with
// their URL's account masked and carry no password, so the line is the event's.
QString watchEventLine(const WatchEvent& event);
// What a message a window would have shown in a box is, by the box's icon.
enum class MessageKind { Error, Warning, Message };
// That message as a line: "error: ...", "warning: ...".
QString messageLine(MessageKind kind, const QString& text);

// The log of a headless run: one line per watch event and per message, on
// `stream`, each flushed at once so a journal or a pipe sees it as it happens.
// Lines start with the local time unless the output goes to the systemd journal,
// which stamps them itself.
class WatchLog {
public:
    // Hears `events` from now on.
    WatchLog(std::FILE* stream, WatchEvents& events);
    ~WatchLog();
    WatchLog(const WatchLog&) = delete;
    WatchLog& operator=(const WatchLog&) = delete;

    void write(const QString& line);

private:
    std::FILE* stream_;
    bool stamped_;
    WatchEvents& events_;
    int listener_;
};
